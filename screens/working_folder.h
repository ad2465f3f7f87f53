// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <filesystem>
#include <functional>

namespace xscatter {

// Whether files can be created in `folder`: a temporary file is created there exclusively and
// removed again (permission bits alone would not tell for a read-only mount or an administrator).
bool FolderWritable(const std::filesystem::path& folder);

// "作業フォルダ FOLDER に書き込めません。…": the warning for a working folder that cannot be
// written, with the question whether to choose another.
QString UnwritableFolderWarning(const std::filesystem::path& folder);

// How the user is asked: `ask` shows the warning and answers whether to choose another folder;
// `choose` lets the user choose one (empty when cancelled).
struct FolderQuestions {
  std::function<bool(const QString& warning)> ask;
  std::function<QString()> choose;
};

// The questions as the program asks them: a warning box with "別のフォルダを選ぶ" and
// "このまま続ける", and the toolkit's folder dialog in Japanese.
FolderQuestions AskingTheUser();

// The folder the spectrum files are to go to: `folder` where it can be written; otherwise, after a
// warning naming it, the one the user chooses and that can be written. Declined or cancelled, the
// folder stays as it was, and the writes report their failure as always.
std::filesystem::path WritableWorkingFolder(const std::filesystem::path& folder,
                                            const FolderQuestions& questions);

}  // namespace xscatter
