// SPDX-License-Identifier: MIT
#include "app/failure_text.h"

#include <new>

#include "app/entries.h"
#include "model/errors.h"
#include "model/scatter_messages.h"
#include "model/table_messages.h"
#include "output/folder_lock.h"

namespace xscatter {

std::string FailureText(const std::exception& error, const char* what) {
  if (const auto* e = dynamic_cast<const TableError*>(&error)) return DescribeTableError(*e);
  if (const auto* e = dynamic_cast<const ScatterModelError*>(&error)) {
    return DescribeScatterError(*e);
  }
  if (const auto* e = dynamic_cast<const NormalisationError*>(&error)) {
    return DescribeNormalisationError(*e);
  }
  if (dynamic_cast<const ConditionError*>(&error) || dynamic_cast<const FileWriteError*>(&error) ||
      dynamic_cast<const FolderLockError*>(&error) ||
      dynamic_cast<const SpectrumFileError*>(&error) ||
      dynamic_cast<const BeamQualityError*>(&error)) {
    return error.what();
  }
  const bool memory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
  return std::string(what) + "の処理中にエラーが発生しました（" +
         (memory ? std::string("メモリが足りません") : std::string(error.what())) + "）。";
}

}  // namespace xscatter
