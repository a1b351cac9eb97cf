#include "printing/register_settings.h"

#include <filesystem>

#include "base/helpers.h"
#include "base/messages.h"
#include "base/platform.h"
#include "catalog/ini_file.h"
#include "printing/postgres_register.h"
#include "printing/sqlite_register.h"

namespace zirvo {
namespace {

// The connection a settings file names; "" when the file is missing or
// names none.
std::string ConnectionIn(const std::string& file) {
  std::string bytes, value;
  bool missing = false;
  const std::string cause = platform::ReadRegularFile(file, true, bytes, missing);
  if (!cause.empty())
    throw RegisterError(RegisterFault::Unusable,
                        OwnText(OwnMessage::RegisterSettingsNotRead, file, cause));
  if (missing || !ReadIniValue(bytes, kRegisterSettingsSection, kRegisterSettingsKey, value))
    return {};
  return value;
}

}  // namespace

RegisterChoice ChooseRegister(const std::string& explicitConnection,
                              const std::string& userSettings, const std::string& systemSettings) {
  if (!explicitConnection.empty()) return {explicitConnection, ""};
  for (const std::string& file : {userSettings, systemSettings}) {
    std::string connection = ConnectionIn(file);
    if (!connection.empty()) return {std::move(connection), file};
  }
  return {};
}

std::string SystemRegisterSettingsFile() {
  return (std::filesystem::path(SystemSettingsFolder()) / kRegisterSettingsFileName).string();
}

std::string UserRegisterSettingsFile() {
  return DataFolder() + std::string(kRegisterSettingsFileName);
}

std::string EmbeddedRegisterPath(const std::string& templateFolder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path folder =
      fs::absolute(templateFolder.empty() ? fs::path(".") : fs::path(templateFolder), error);
  if (!error) {
    const fs::path resolved = fs::weakly_canonical(folder, error);
    if (!error) folder = resolved;
  }
  return (folder / kRegisterFileName).string();
}

std::string DescribeRegister(const RegisterChoice& choice, const std::string& templateFolder) {
  if (choice.Embedded()) return "SQLite: " + EmbeddedRegisterPath(templateFolder);
  return PostgresRegister::Describe(choice.connection);
}

std::unique_ptr<NumberRegister> OpenRegister(const RegisterChoice& choice,
                                             const std::string& templateFolder,
                                             const RegisterOptions& options) {
  if (choice.Embedded()) return SqliteRegister::Open(EmbeddedRegisterPath(templateFolder), options);
  return PostgresRegister::Open(choice.connection, options);
}

}  // namespace zirvo
