#include "model/file_info.h"

namespace vandrel {

FileInfoRec gFileInfo;

}  // namespace vandrel
