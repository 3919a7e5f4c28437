#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace Service {

/// `publish program FILE VERSION [--name NAME]` and `publish movie FILE VERSION`: copies the file
/// into the content directory (a program under NAME, by default "glimmeries.exe"; a movie under
/// its own file name), writes its signature by the service's key beside it as NAME.sig, and
/// makes patcher.ver announce VERSION (PATCHER_VERSION_STRING_SERVER for a program,
/// GLM_SWF_VERSION for a movie), keeping its other lines. `arguments` starts with "publish".
/// Returns 0 done, 1 refused (reason on err), 2 not understood.
int RunPublishCommand(const std::vector<std::string>& arguments, const std::string& dataDirectory,
                      const std::string& contentDirectory, std::ostream& out, std::ostream& err);

/// patcher.ver's text with key set to value: the line of that key replaced (the first one;
/// later ones dropped), or added at the end.
std::string SetPatcherVersionLine(const std::string& patcherFile, const std::string& key,
                                  const std::string& value);

} // namespace Service
