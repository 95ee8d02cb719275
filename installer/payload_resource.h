/* The installer carries the launcher as its RCDATA resource of this id. A
   plain macro, so that the generated resource script and the code that reads
   the payload name the same resource. */
#ifndef TEVRA_INSTALLER_PAYLOAD_RESOURCE_H
#define TEVRA_INSTALLER_PAYLOAD_RESOURCE_H

#define TEVRA_PAYLOAD_RESOURCE_ID 101

#endif
