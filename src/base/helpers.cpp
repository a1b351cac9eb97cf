#include "base/helpers.h"

#include <atomic>
#include <optional>

#include "base/platform.h"

namespace zirvo {
namespace {

constexpr char kCtrlC = 3;
constexpr char kBackspace = 8;
constexpr char kCtrlV = 22;

bool AlwaysPasses(char key) {
  return key == kCtrlC || key == kCtrlV || key == kBackspace || (key >= '0' && key <= '9');
}

bool Holds(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

// The machine's folders, each found once.
class MachineFolders final : public Folders {
 public:
  std::string Application() const override {
    static const std::string folder = [] {
      std::string exe = platform::ExecutablePath();
      const auto cut = exe.find_last_of("/\\");
      if (cut == std::string::npos) return std::string(".");
      return exe.substr(0, cut == 0 ? 1 : cut);
    }();
    return folder;
  }
  std::string Data() const override {
    static const std::string folder = [this] {
      DataFolderInputs inputs;
      inputs.applicationFolder = Application();
      inputs.writableFolderBeside = platform::IsPrivateWritableFolder(Application() + "/Datos");
      inputs.xdgDataHome = platform::EnvironmentValue("XDG_DATA_HOME");
      inputs.home = platform::HomeFolder();
      return ChooseDataFolder(inputs);
    }();
    return folder;
  }
  std::string SystemSettings() const override { return platform::SystemSettingsFolder(); }
};

const MachineFolders machineFolders;
std::atomic<const Folders*> foldersInForce{&machineFolders};

// An absolute folder without trailing separators ("/" becomes ""), or
// nullopt for an empty or relative one.
std::optional<std::string> AbsoluteBase(std::string folder) {
  if (folder.empty() || folder.front() != '/') return std::nullopt;
  while (!folder.empty() && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

char IntegerKeyFilter(std::string_view text, std::string_view selected, int caret, char key) {
  if (AlwaysPasses(key)) return key;
  if (key == '-' && caret == 0 && (!Holds(text, '-') || Holds(selected, '-'))) return key;
  return '\0';
}

char RealKeyFilter(std::string_view text, std::string_view selected, int caret, char key) {
  if (AlwaysPasses(key)) return key;
  if (key != '-' && key != '.') return '\0';
  if (Holds(text, key) && !Holds(selected, key)) return '\0';
  if (key == '-') return caret == 0 ? key : '\0';
  // A decimal point is neither first nor right after a leading minus sign.
  if (caret == 0) return '\0';
  if (caret == 1 && !text.empty() && text.front() == '-') return '\0';
  return key;
}

std::string ZeroPad(std::string_view text, int width) {
  std::string padded(text);
  if (static_cast<int>(padded.size()) < width) padded.insert(0, width - padded.size(), '0');
  return padded;
}

const Folders* UseFolders(const Folders* folders) {
  return foldersInForce.exchange(folders ? folders : &machineFolders);
}

std::string ApplicationFolder() { return foldersInForce.load()->Application(); }

std::string ChooseDataFolder(const DataFolderInputs& inputs) {
  if (inputs.writableFolderBeside) return inputs.applicationFolder + "/Datos/";
  if (auto base = AbsoluteBase(inputs.xdgDataHome)) return *base + "/zirvo/Datos/";
  if (auto home = AbsoluteBase(inputs.home)) return *home + "/.local/share/zirvo/Datos/";
  return inputs.applicationFolder + "/Datos/";
}

std::string DataFolder() { return foldersInForce.load()->Data(); }

bool PrepareDataFolder() { return platform::MakeFolders(DataFolder()); }

std::string SystemSettingsFolder() { return foldersInForce.load()->SystemSettings(); }

}  // namespace zirvo
