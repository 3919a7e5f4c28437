#pragma once
// Failures of file operations. The throwing code writes the message; the
// cause is the Win32::Win32Exception of the failing call.

#include "common/Ex/Exceptions.h"

namespace FileSys {

/// "Can't Open file 'NAME'"
EX_DECLARE_EXCEPTION(CantOpenFileException, Ex::NamedException);
/// "Can't delete file 'NAME'"
EX_DECLARE_EXCEPTION(CantDeleteFileException, Ex::NamedException);
/// "Can't copy file 'SOURCE' to file 'TARGET'"
EX_DECLARE_EXCEPTION(CantCopyFileException, Ex::NamedException);
/// "Can't move file pointer in file 'NAME'"
EX_DECLARE_EXCEPTION(CantMoveFilePointerException, Ex::NamedException);
/// "Can't write to file 'NAME'"
EX_DECLARE_EXCEPTION(CantWriteToFileException, Ex::NamedException);
/// "Can't write all data to file 'NAME' only N of M bytes written."
EX_DECLARE_EXCEPTION(CantWriteAllDataException, Ex::NamedException);

} // namespace FileSys
