#pragma once
// Temporary files that a killed process of this program leaves behind: compaction copies of the
// history (.quarvelTmp.mdb.<pid>-….part, with SQLite's journal beside them) and the guarded
// writer's temporary files (.<name>.tmp<pid>-…) in the data folder and its 备份 folder. Each
// name carries the id of the process that writes it; the file is removed once no process of
// that id runs any more. A process that still runs keeps its files, whatever it is.

#include <filesystem>
#include <vector>

namespace quarvel::io {

// Removes the leftovers of ended processes from `dataDir` and its backup folder; gives the files
// removed. Links, folders and files of any other name are never touched. Never throws.
std::vector<std::filesystem::path> removeLeftovers(const std::filesystem::path& dataDir);

}  // namespace quarvel::io
