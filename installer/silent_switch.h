// The switch that installs without starting the launcher afterwards.
#ifndef TEVRA_INSTALLER_SILENT_SWITCH_H
#define TEVRA_INSTALLER_SILENT_SWITCH_H

#include <string>

namespace tevra {

// True when "/S" occurs anywhere in the command-line text, or else "--silent",
// compared unit by unit: no splitting into arguments, no quotes, no case
// folding, no word boundaries. So "/SILENT", "C:/Stuff" and "--silently" are
// silent; "/s", "-S" and "--SILENT" are not.
bool IsSilentInstall(const std::wstring& command_line);

}  // namespace tevra

#endif  // TEVRA_INSTALLER_SILENT_SWITCH_H
