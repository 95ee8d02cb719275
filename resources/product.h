/* The product's identity: the one place its names, hosts and version live.
   Plain string macros so that the resource scripts (windres) and the C++ code
   read the same text; C++ takes wide forms with L"" prefixed. */
#ifndef TEVRA_RESOURCES_PRODUCT_H
#define TEVRA_RESOURCES_PRODUCT_H

#define TEVRA_PRODUCT_NAME "Tevra Comms"
#define TEVRA_VENDOR_NAME "Tevra Holdings"
#define TEVRA_COPYRIGHT "Copyright (C) 2026 Tevra Holdings. All rights reserved."

/* A release changes these four together (the build reads them from here too). */
#define TEVRA_VERSION "0.0.1"
#define TEVRA_VERSION_QUAD 0,0,1,0
#define TEVRA_VERSION_QUAD_TEXT "0.0.1.0"
#define TEVRA_SETUP_FILE_NAME "TevraComms-Setup-0.0.1.exe"

#define TEVRA_VENDOR_FOLDER "TevraHoldings"
#define TEVRA_PRODUCT_FOLDER "TevraComms"
#define TEVRA_PROGRAM_NAME "TevraComms"
#define TEVRA_EXECUTABLE_NAME "TevraComms.exe"
#define TEVRA_SETUP_PROGRAM_NAME "TevraCommsSetup"

#define TEVRA_SERVICE_HOST "comms.tevraholdings.com"
#define TEVRA_UPDATE_HOST "updates.tevraholdings.com"
#define TEVRA_BUNDLE_ID "com.tevraholdings.comms"
#define TEVRA_APP_ID "{5E0B7C2A-41D3-4F8E-A6B9-2C7D90E13F48}"
#define TEVRA_LINK_SCHEME "tevra-comms"

#endif
