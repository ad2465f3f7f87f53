// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "model/data_folder.h"
#include "output/qt/fonts.h"
#include "screens/message_box.h"
#include "screens/program_options.h"
#include "screens/qt_translations.h"
#include "screens/screen_flow.h"
#include "screens/working_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr int kEnded = 0;
constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

std::vector<std::string> Arguments(int argc, char* argv[]) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

int BadCommandLine(const std::string& reason) {
  std::cerr << "xscatter: " << reason << "\n\n" << xscatter::kProgramUsage;
  return kBadCommandLine;
}

// The folder the program works in; empty, with the failure shown, when it cannot be had.
fs::path WorkingFolder(const xscatter::ProgramOptions& options) {
  fs::path folder = ".";
  if (options.in_documents) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) {
      xscatter::ShowMessageBox(xscatter::MessageKind::kError,
                               QStringLiteral("文書フォルダが見つかりません。"));
      return {};
    }
    folder = fs::path(documents.toStdString()) / "xscatter";
  } else if (options.working_folder) {
    folder = *options.working_folder;
  } else {
    return folder;
  }
  const std::string error = xscatter::PrepareWorkingFolder(folder);
  if (!error.empty()) {
    std::cerr << "xscatter: " << error << '\n';
    xscatter::ShowMessageBox(xscatter::MessageKind::kError, QString::fromStdString(error));
    return {};
  }
  return folder;
}

}  // namespace

int main(int argc, char* argv[]) {
  // --help, --version and mistakes are answered before the toolkit starts, so they need no
  // display.
  std::string error;
  const auto early = xscatter::ParseProgramOptions(Arguments(argc, argv), error);
  if (!early) return BadCommandLine(error);
  if (const std::string mistake = xscatter::NotToolkitOptions(early->others); !mistake.empty()) {
    return BadCommandLine(mistake);
  }
  if (early->help) {
    std::cout << xscatter::kProgramUsage;
    return kEnded;
  }
  if (early->version) {
    std::cout << "xscatter " << XSCATTER_VERSION << '\n';
    return kEnded;
  }

  QApplication app(argc, argv);
  // The toolkit has taken its own options out of argv; anything else left over is a mistake.
  const auto options = xscatter::ParseProgramOptions(Arguments(argc, argv), error);
  if (!options) return BadCommandLine(error);
  if (!options->others.empty()) return BadCommandLine("unknown argument " + options->others[0]);

  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // Windows are hidden and shown by the flow; only EXIT or the main screen's close box ends it.
  QApplication::setQuitOnLastWindowClosed(false);
  xscatter::InstallFontSubstitutions();
  xscatter::InstallQtTranslations(app);

  const fs::path working_folder = WorkingFolder(*options);
  if (working_folder.empty()) return kFailed;

  xscatter::ScreenFlow flow;
  // The tables stay those of the folder the program was started in, wherever the files go.
  flow.Calculation().SetDataFolder(
      xscatter::ResolveDataFolder(working_folder, xscatter::ExecutableFolder()));
  flow.Calculation().SetWorkingFolder(
      xscatter::WritableWorkingFolder(working_folder, xscatter::AskingTheUser()));
  QObject::connect(&flow, &xscatter::ScreenFlow::EndRequested, &app,
                   [] { QCoreApplication::exit(kEnded); });
  if (!flow.Start()) return kFailed;

  // For the installation check: name the shown main screen and end, as EXIT would.
  if (std::getenv("XSCATTER_QUIT_WHEN_SHOWN") != nullptr) {
    QTimer::singleShot(0, &app, [&flow] {
      const xscatter::Form1* main_screen = flow.Form1IfCreated();
      if (main_screen != nullptr && main_screen->isVisible()) {
        std::cout << "shown: " << main_screen->windowTitle().toStdString() << std::endl;
      }
      QCoreApplication::exit(kEnded);
    });
  }
  return QApplication::exec();
}
