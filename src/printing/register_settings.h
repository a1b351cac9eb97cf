// Which numbering register a template's runs use.
//
// With no setting, the register embedded in the template's folder:
// "Registro.sqlite" there, shared by everyone who prints templates from that
// folder. A print room points every station at one PostgreSQL database with
// a settings file "Registro.ini":
//
//   [Register]
//   Connection=postgresql://sala@servidor:5432/zirvo
//
// read from the machine's settings folder (/etc/zirvo) and from the user's
// data folder; the user's file wins, and a connection named for one run
// (zirvo-batch --register URL) wins over both. An empty Connection value
// counts as none. A run never falls back to another register: one that
// cannot be reached prints nothing.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "printing/number_register.h"

namespace zirvo {

inline constexpr std::string_view kRegisterFileName = "Registro.sqlite";
inline constexpr std::string_view kRegisterSettingsFileName = "Registro.ini";
inline constexpr std::string_view kRegisterSettingsSection = "Register";
inline constexpr std::string_view kRegisterSettingsKey = "Connection";

struct RegisterChoice {
  // The PostgreSQL connection string (it may hold a password: show
  // DescribeRegister instead); empty for the embedded register.
  std::string connection;
  // Where the connection was named: a settings file, or "" for one named
  // for the run (and for the embedded register).
  std::string source;

  bool Embedded() const { return connection.empty(); }
  bool operator==(const RegisterChoice&) const = default;
};

// The register chosen by `explicitConnection` (empty for none), else by the
// settings file `userSettings`, else by `systemSettings`. A settings file
// that is missing names nothing; one that is there but cannot be read (no
// permission, a FIFO, a folder) throws RegisterError Unusable: the run
// cannot know its register.
RegisterChoice ChooseRegister(const std::string& explicitConnection,
                              const std::string& userSettings, const std::string& systemSettings);
// The two settings files of this machine and user.
std::string SystemRegisterSettingsFile();
std::string UserRegisterSettingsFile();

// The embedded register of the templates in `templateFolder` ("" for the
// working folder): Registro.sqlite in the folder, links in the folder's
// own path resolved.
std::string EmbeddedRegisterPath(const std::string& templateFolder);

// The register as the print page and messages name it, without a password:
// "SQLite: /srv/plantillas/Registro.sqlite", "PostgreSQL: sala@host:5432/zirvo".
std::string DescribeRegister(const RegisterChoice& choice, const std::string& templateFolder);

// Opens the chosen register (see SqliteRegister::Open and
// PostgresRegister::Open); RegisterError when it cannot be used.
std::unique_ptr<NumberRegister> OpenRegister(const RegisterChoice& choice,
                                             const std::string& templateFolder,
                                             const RegisterOptions& options = {});

}  // namespace zirvo
