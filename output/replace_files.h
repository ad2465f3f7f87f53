// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace xscatter {

// How a spectrum file's FileWriteError names it.
inline constexpr std::string_view kSpectrumFileKind = "スペクトルファイル";

// Files to write together: each name with its complete content.
using FileSet = std::vector<std::pair<std::string, std::string>>;

// Replaces the files `name` in `folder` by `content`, all of them or none: every content goes to
// its own exclusively created hidden temporary file (".NAME.XXXXXXXXXXXX", mode 0666 less the
// umask), flushed to disk; only when all are complete are they renamed over their names. A name
// that is a folder or a file without write permission is left alone. Leftovers of an interrupted
// earlier write of a name are removed, unless another process is still writing them. Throws
// FileWriteError naming the file that failed; no temporary file remains.
// `kind` names the files in the message ("スペクトルファイル", "画像ファイル").
void ReplaceFiles(const std::filesystem::path& folder, const FileSet& name_and_content,
                  std::string_view kind = kSpectrumFileKind);

// How ReplaceFilesAt writes. Durable: the files and their names reach the disk before it returns.
// SyncedLater: when the caller syncs them and their folder (a sweep writing many folders syncs
// them all once, at the end). NewFolderSyncedLater: SyncedLater into a folder the caller has just
// made and holds locked, which can hold no earlier file nor leftover, so none is looked for.
enum class WriteMode { Durable, SyncedLater, NewFolderSyncedLater };

// ReplaceFiles in the folder open as `folder_fd` (opened without following a symlink by the
// caller); `folder` names it in messages.
void ReplaceFilesAt(int folder_fd, const std::filesystem::path& folder,
                    const FileSet& name_and_content, std::string_view kind = kSpectrumFileKind,
                    WriteMode mode = WriteMode::Durable);

}  // namespace xscatter
