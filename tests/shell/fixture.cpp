// SPDX-License-Identifier: MIT
#include "tests/shell/fixture.h"

namespace xscatter::testing {

LoadedStore::LoadedStore() {
  WriteTestTables(folder.path);
  m.SetWorkingFolder(folder.path);
  m.AttachPanel(&panel);
  m.LoadDataTables();
}

}  // namespace xscatter::testing
