#pragma once
// The plug-in files the browser offers: every ".so" (matched without regard to case)
// in a folder and its subfolders, links followed, each named by its path relative to
// the folder ("Kars-vst.so", "ProM.vst/ProM.so").
//
// Threads: user-interface thread (reads folders).

#include <string>
#include <vector>

namespace vantreel {

// One folder's plug-in files, sorted. A missing or unreadable folder gives none.
std::vector<std::string> PluginFilesIn(const std::string& folder);

// The files of `firstFolder`, sorted, then the files of `otherFolders` not already
// listed, sorted; each name appears once.
std::vector<std::string> ListPluginFiles(const std::string& firstFolder,
                                         const std::vector<std::string>& otherFolders);

} // namespace vantreel
