// `tracelon forms --out DIR`: loads the plug-in on a fresh copy of the sample machine, as a
// session run does, and writes one SVG picture per form the plug-in made when it loaded. Each
// form is shown modally once, so that what its showing sets up (its fields filled from the
// settings, the focus on its first field) is in the picture, and is cancelled at once. A form
// whose showing needs a command under way (it asks a question, fails, or ends up without a
// client area) is drawn as it was made instead.
#include "form_pictures.h"

#include <cctype>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <utility>
#include <vector>

#include "host_setup.h"
#include "machine.h"
#include "output_file.h"
#include "platform/form_picture.h"
#include "platform/forms.h"
#include "platform/native_windows.h"
#include "platform/picture.h"
#include "platform/system.h"
#include "platform/ui_driver.h"
#include "plugin_library.h"

#ifdef TRACELON_SERVE
#include "serve_forms.h"
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage = R"(usage:
  tracelon forms --out DIR [--pages] [--models] [--plugin PATH] [--native]

Loads the plug-in on a fresh copy of the sample machine and writes DIR/<form class>.svg for
every form it made: each shown once as its command would show it and cancelled at once (a form
whose showing needs a running command is drawn as it was made). Prints one line per form.

  --pages   also draw every other page of each tabbed dialog, as DIR/<form class>-<page>.svg
  --native  (Windows) also show each form as a real window: DIR/<form class>.bmp is the
            window as the system draws it, and each control's window must stand exactly where
            the toolkit puts it (each one that does not is printed, and the status is 1)
  --models  also write what the drafting page draws of each shown form, as DIR/<form class>.json
)";

// The user while the pictures are taken: a modal form it is handed is drawn (when it is the
// one being pictured) and cancelled; every question gets the answer that changes nothing.
class PictureDriver : public platform::UiDriver {
 public:
  const platform::Form* target = nullptr;
  std::optional<std::string> picture;
  int questions = 0;

  bool pages = false;
  bool models = false;
  std::optional<std::string> model;
  // The pictures of the other pages of its tabbed controls, by a name for each page.
  std::vector<std::pair<std::string, std::string>> pagePictures;

  // With native windows: where each form's controls stood wrong, and the screen pictures.
  std::vector<std::string> geometryProblems;
  std::optional<platform::Bitmap> screen;

  void RunModal(platform::Form& form) override {
    if (&form == target && platform::native::Enabled()) {
      for (const auto& problem : platform::native::CheckGeometry(form))
        geometryProblems.push_back(form.ClassName() + " " + problem.control + ": " + problem.what);
      platform::Bitmap shot;
      if (platform::native::CaptureForm(form, shot)) screen = std::move(shot);
    }
    if (&form == target) {
      picture = platform::FormPictureSvg(form);
#ifdef TRACELON_SERVE
      if (models) {
        PictureStore pictures;
        nlohmann::json shown = FormModel(form, pictures);
        shown["waiting"] = true;
        model = PageJson(std::move(shown));
      }
#endif
      if (pages) DrawOtherPages(form);
    }
    form.SetModalResult(platform::ModalResult::Cancel);
  }
  // Turns each page control and tab set to each of its other pages, as a click on the tab
  // would, draws the form, and turns it back.
  void DrawOtherPages(platform::Form& form) {
    auto name = [](const std::string& caption) {
      std::string result;
      for (char c : platform::StripCaption(caption))
        result += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return result;
    };
    for (platform::Control* control : form.Controls()) {
      if (!control->Showing()) continue;
      if (auto* book = dynamic_cast<platform::Notebook*>(control); book && book->showTabs) {
        const int shown = book->PageIndex();
        for (int i = 0; i < book->PageCount(); ++i) {
          if (i == shown) continue;
          bool allow = true;
          if (book->OnChanging) book->OnChanging(*book, allow);
          if (!allow) continue;
          book->SetPageIndex(i);
          pagePictures.emplace_back(name(book->PageAt(i).Caption()),
                                    platform::FormPictureSvg(form));
        }
        book->SetPageIndex(shown);
      } else if (auto* tabs = dynamic_cast<platform::TabSet*>(control)) {
        const int shown = tabs->TabIndex();
        for (int i = 0; i < static_cast<int>(tabs->tabs.size()); ++i) {
          if (i == shown || !tabs->SetTabIndex(i)) continue;
          pagePictures.emplace_back(name(tabs->tabs[i]), platform::FormPictureSvg(form));
        }
        tabs->SetTabIndex(shown);
      }
    }
  }

  platform::MsgResult AskMessage(const platform::MessageBoxRequest& request) override {
    ++questions;
    switch (request.buttons) {
      case platform::MsgButtons::OK:
        return platform::MsgResult::OK;
      case platform::MsgButtons::YesNo:
        return platform::MsgResult::No;
      case platform::MsgButtons::AbortRetryIgnore:
        return platform::MsgResult::Abort;
      default:
        return platform::MsgResult::Cancel;
    }
  }
  std::optional<std::string> AskOpenFile(const platform::OpenFileRequest&) override {
    ++questions;
    return std::nullopt;
  }
  std::optional<platform::FontChoice> AskFont(const platform::FontRequest&) override {
    ++questions;
    return std::nullopt;
  }
  std::optional<std::string> AskFolder(const platform::FolderRequest&) override {
    ++questions;
    return std::nullopt;
  }
  std::optional<std::string> AskInput(const platform::InputRequest&) override {
    ++questions;
    return std::nullopt;
  }
};

// The machine the plug-in loads on: a temporary copy of the sample machine, removed at the end.
struct TemporaryMachine {
  fs::path folder;
  ~TemporaryMachine() {
    std::error_code ec;
    if (!folder.empty()) fs::remove_all(folder, ec);
  }
};

}  // namespace

int FormsCommand(const std::vector<std::string>& args) {
  std::optional<fs::path> out, plugin;
  bool pages = false, models = false, native = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (a == "--out" && i + 1 < args.size()) {
      out = args[++i];
    } else if (a == "--pages") {
      pages = true;
    } else if (a == "--native") {
      native = true;
    } else if (a == "--models") {
      models = true;
    } else if (a == "--plugin" && i + 1 < args.size()) {
      plugin = args[++i];
    } else {
      std::cerr << "tracelon forms: unexpected argument \"" << a << "\"\n\n" << kUsage;
      return 2;
    }
  }
  if (!out) {
    std::cerr << "tracelon forms: --out DIR is needed\n\n" << kUsage;
    return 2;
  }
  std::error_code ec;
  fs::create_directories(*out, ec);
  if (!fs::is_directory(*out)) {
    std::cerr << "tracelon forms: cannot make the folder " << out->string() << "\n";
    return 1;
  }

  TemporaryMachine machine;
  std::string made, error;
  const std::optional<fs::path> machineRoot =
      PrepareMachine(std::nullopt, "tracelon-forms-", made, error);
  if (!machineRoot) {
    std::cerr << "tracelon forms: " << error << "\n";
    return 1;
  }
  machine.folder = machineRoot->parent_path();
  const fs::path& root = *machineRoot;

  const fs::path pluginPath = plugin ? *plugin : ProgramFolder() / kDefaultPluginName;
  if (native && !platform::native::Enable()) {
    std::cerr << "tracelon forms: this build shows no native windows (--native is for Windows)\n";
    return 1;
  }
  StartHost(root);
  PictureDriver driver;
  driver.pages = pages;
  driver.models = models;
  platform::SetUiDriver(&driver);
  struct Shutdown {
    PluginLibrary library;
    ~Shutdown() {
      library.Close();
      platform::SetUiDriver(nullptr);
      StopHost();
    }
  } shutdown;
  if (!shutdown.library.Open(pluginPath, error)) {
    std::cerr << "tracelon forms: " << error << "\n";
    return 1;
  }

  int status = 0;
  try {
    shutdown.library.Attach();
    const std::vector<platform::Form*> forms = platform::AllForms();
    for (platform::Form* form : forms) {
      const std::string created = platform::FormPictureSvg(*form);
      std::string why;
      driver.target = form;
      driver.picture.reset();
      driver.questions = 0;
      driver.pagePictures.clear();
      driver.screen.reset();
      driver.model.reset();
      try {
        form->ShowModal();
      } catch (const std::exception& e) {
        why = std::string("its showing failed: ") + e.what();
      }
      if (why.empty() && driver.questions > 0) why = "its showing asks a question";
      if (why.empty() && !driver.picture) why = "it was not shown";
      if (why.empty() && (form->ClientWidth() <= 0 || form->ClientHeight() <= 0))
        why = "its showing needs a command to size it";
      const fs::path file = *out / (form->ClassName() + ".svg");
      if (!WriteOutputFile(file, why.empty() ? *driver.picture : created)) {
        std::cerr << "tracelon forms: cannot write " << file.string() << "\n";
        status = 1;
        continue;
      }
      if (driver.screen) {
        const fs::path shot = *out / (form->ClassName() + ".bmp");
        if (!WriteOutputFile(shot, platform::EncodeBmp(*driver.screen))) {
          std::cerr << "tracelon forms: cannot write " << shot.string() << "\n";
          status = 1;
        }
      }
      if (why.empty() && driver.model) {
        const fs::path modelFile = *out / (form->ClassName() + ".json");
        if (!WriteOutputFile(modelFile, *driver.model)) {
          std::cerr << "tracelon forms: cannot write " << modelFile.string() << "\n";
          status = 1;
        }
      }
      if (why.empty()) {
        for (const auto& [page, svg] : driver.pagePictures) {
          const fs::path pageFile = *out / (form->ClassName() + "-" + page + ".svg");
          if (!WriteOutputFile(pageFile, svg)) {
            std::cerr << "tracelon forms: cannot write " << pageFile.string() << "\n";
            status = 1;
          }
        }
      }
      std::cout << file.filename().string() << (why.empty() ? "  shown" : "  as made (" + why + ")")
                << "\n";
    }
    std::cout << forms.size() << " forms\n";
    for (const std::string& problem : driver.geometryProblems) {
      std::cout << "misplaced: " << problem << "\n";
      status = 1;
    }
    shutdown.library.Detach();
  } catch (const std::exception& e) {
    std::cerr << "tracelon forms: an error escaped from the plug-in: " << e.what() << "\n";
    return 1;
  }
  return status;
}
