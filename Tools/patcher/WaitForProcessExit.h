#pragma once

#include <string>

namespace Glm {

/// Blocks until no process other than this one runs an executable whose
/// file name is fileName (looked up in /proc). Each process found is waited
/// for on a pidfd, so the thread sleeps in the kernel meanwhile; the look-up
/// is repeated until nothing of that name is left.
void WaitForProcessExit(const std::string& fileName);

} // namespace Glm
