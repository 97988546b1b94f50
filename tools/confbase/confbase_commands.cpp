// The commands of the confbase tool (all OSes).
#include "confbase_commands.h"

#include <array>
#include <map>
#include <queue>

#include "platform/files.h"
#include "settings/branding.h"
#include "settings/crypto_drelo.h"
#include "settings/tagged_text.h"
#include "text/cp1252.h"
#include "text/error.h"
#include "text/toolbox.h"
#include "text/utf8.h"

namespace kelv {
namespace {

// ---- Enciphering the product name ------------------------------------------------------

constexpr int kPhases = 8;  // length of the product-name pass phrase
constexpr int kNoForm = -1;
constexpr std::string_view kFillers[] = {"RURU", " QWTZM"};

// How welcome a byte of the enciphered value is in the file: -1 never (NUL, the line-break
// bytes, and Ctrl-Z, which old readers take for the end of a text file), 1 for printable
// characters, more for the bytes Windows-1252 leaves undefined and for control characters.
int ByteCost(int b) {
  if (b == 0x00 || b == 0x0A || b == 0x0D || b == 0x1A) return -1;
  if (b < 0x20 || b == 0x7F) return 100;
  if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) return 50;
  return 1;
}

// For each plain byte and key position, the cheapest file byte that deciphers to it.
struct CipherChoice {
  int byte = kNoForm;
  int cost = 0;
};
using ChoiceTable = std::array<std::array<CipherChoice, kPhases>, 256>;

const ChoiceTable& Choices() {
  static const ChoiceTable table = [] {
    ChoiceTable t{};
    for (int b = 0; b < 256; ++b) {
      int cost = ByteCost(b);
      if (cost < 0) continue;
      // The cipher sees the low 8 bits of the character the file byte stands for.
      int low = static_cast<int>(Cp1252ToCodePoint(static_cast<std::uint8_t>(b)) & 0xFF);
      for (int ph = 0; ph < kPhases; ++ph) {
        int plain = low ^ static_cast<unsigned char>(kProductNameKey[ph]);
        CipherChoice& c = t[plain][ph];
        if (c.byte == kNoForm || cost < c.cost) c = CipherChoice{b, cost};
      }
    }
    return t;
  }();
  return table;
}

// Enciphers plain bytes starting at key position phase; the cost, or -1 when a byte has no
// form there. Appends the file bytes to out when given.
int EncipherRun(std::string_view plain, int phase, std::string* out) {
  int total = 0;
  for (std::size_t j = 0; j < plain.size(); ++j) {
    const CipherChoice& c = Choices()[static_cast<unsigned char>(plain[j])][(phase + j) % kPhases];
    if (c.byte == kNoForm) return -1;
    total += c.cost;
    if (out) out->push_back(static_cast<char>(c.byte));
  }
  return total;
}

// The cheapest plain text (the name's bytes with filler markers before some of them, so
// that each byte falls on a key position where it has a form) as Windows-1252 bytes.
std::optional<std::string> PlainWithFillers(const std::string& name) {
  const int n = static_cast<int>(name.size());
  const int states = (n + 1) * kPhases;
  std::vector<long> dist(states, -1);
  struct Step { int from; std::string piece; };
  std::vector<Step> how(states, Step{-1, {}});
  using Item = std::pair<long, int>;
  std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
  dist[0] = 0;
  queue.push({0, 0});
  auto relax = [&](int from, int to, long cost, std::string piece) {
    if (dist[to] < 0 || dist[from] + cost < dist[to]) {
      dist[to] = dist[from] + cost;
      how[to] = Step{from, std::move(piece)};
      queue.push({dist[to], to});
    }
  };
  while (!queue.empty()) {
    auto [d, s] = queue.top();
    queue.pop();
    if (d != dist[s]) continue;
    int i = s / kPhases, ph = s % kPhases;
    if (i == n) continue;
    const std::string piece(1, name[i]);
    int c = EncipherRun(piece, ph, nullptr);
    if (c >= 0) relax(s, (i + 1) * kPhases + (ph + 1) % kPhases, c, piece);
    for (std::string_view filler : kFillers) {
      int fc = EncipherRun(filler, ph, nullptr);
      if (fc >= 0) relax(s, i * kPhases + (ph + static_cast<int>(filler.size())) % kPhases, fc, std::string(filler));
    }
  }
  int best = -1;
  for (int ph = 0; ph < kPhases; ++ph) {
    int s = n * kPhases + ph;
    if (dist[s] >= 0 && (best < 0 || dist[s] < dist[best])) best = s;
  }
  if (best < 0) return std::nullopt;
  std::vector<std::string> pieces;
  for (int s = best; s != 0; s = how[s].from) pieces.push_back(how[s].piece);
  std::string plain;
  for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) plain += *it;
  return plain;
}

// ---- Command line ---------------------------------------------------------------------

struct Parsed {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;
};

// Splits args into positional arguments and the allowed "--name value" / "--name=value"
// options; false with a reason for anything else.
bool ParseArgs(const std::vector<std::string>& args, std::size_t from,
               const std::vector<std::string>& allowed, Parsed& parsed, std::string& error) {
  for (std::size_t i = from; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      std::string name = a.substr(2), value;
      std::size_t eq = name.find('=');
      bool inlineValue = eq != std::string::npos;
      if (inlineValue) {
        value = name.substr(eq + 1);
        name.erase(eq);
      }
      bool known = false;
      for (const std::string& k : allowed) known = known || k == name;
      if (!known) {
        error = "unknown option --" + name;
        return false;
      }
      if (!inlineValue) {
        if (i + 1 >= args.size()) {
          error = "option --" + name + " needs a value";
          return false;
        }
        value = args[++i];
      }
      parsed.options[name] = value;
    } else {
      parsed.positional.push_back(a);
    }
  }
  return true;
}

ConfbaseResult Fail(const std::string& message) { return ConfbaseResult{1, {}, "confbase: " + message}; }

ConfbaseResult Usage(const std::string& message) {
  return Fail(message + " (see confbase --help)");
}

std::string FileKey(const Parsed& p) {
  auto it = p.options.find("key");
  return it == p.options.end() || it->second.empty() ? std::string(kBuiltInFileKey) : it->second;
}

// The deciphered text of a connection description file; nullopt when it cannot be read.
// A missing file counts as empty when missingIsEmpty.
std::optional<std::string> ReadDescription(const std::string& path, const std::string& key,
                                           bool missingIsEmpty) {
  std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) {
    if (missingIsEmpty && !PathExists(path)) return std::string();
    return std::nullopt;
  }
  if (bytes->empty()) return std::string();
  clsCryptoDrelo crypto;
  crypto.Password(key);
  crypto.InBuffer(CipherBuffer::FromBytes(*bytes));
  crypto.Decrypt();
  return crypto.OutBuffer().Text();
}

std::string Line(std::string text) {
  text.push_back('\n');
  return text;
}

ConfbaseResult Show(const Parsed& p) {
  if (p.positional.size() != 1) return Usage("show takes one FILE");
  std::optional<std::string> text = ReadDescription(p.positional[0], FileKey(p), false);
  if (!text) return Fail("cannot read " + p.positional[0]);
  return ConfbaseResult{0, Line(*text), {}};
}

ConfbaseResult Get(const Parsed& p) {
  if (p.positional.size() != 2) return Usage("get takes FILE and TAG");
  std::optional<std::string> text = ReadDescription(p.positional[0], FileKey(p), false);
  if (!text) return Fail("cannot read " + p.positional[0]);
  return ConfbaseResult{0, Line(LeerBloqueTexto(*text, p.positional[1])), {}};
}

ConfbaseResult Set(const Parsed& p) {
  if (p.positional.size() != 3) return Usage("set takes FILE, TAG and VALUE");
  const std::string& path = p.positional[0];
  const std::string& tag = p.positional[1];
  const std::string& value = p.positional[2];
  const std::string key = FileKey(p);
  std::optional<std::string> text = ReadDescription(path, key, true);
  if (!text) return Fail("cannot read " + path);

  clsCryptoDrelo crypto;
  crypto.Password(key);
  crypto.InBuffer(CipherBuffer::FromText(GuardoBloqueTexto(*text, tag, value)));
  crypto.Encrypt();
  const std::string bytes = crypto.OutBuffer().Bytes();

  // Check what will be stored before replacing the file.
  crypto.InBuffer(CipherBuffer::FromBytes(bytes));
  crypto.Decrypt();
  const std::string stored = crypto.OutBuffer().Text();
  const bool whole = Trim(tag) == "*";
  if (whole ? stored != value : LeerBloqueTexto(stored, tag) != value) {
    return Fail("the value cannot be stored under [" + tag + "]: it would read back differently");
  }
  try {
    if (bytes.empty()) {
      WriteFileReplacing(path, bytes);
    } else {
      crypto.GuardoArchBinario(path, bytes);
    }
  } catch (const KelvError& e) {
    return Fail("cannot write " + path + ": " + e.Description());
  }
  return ConfbaseResult{};
}

ConfbaseResult Brand(const Parsed& p) {
  if (p.positional.size() != 1) return Usage("brand takes one PRODUCT NAME");
  std::optional<std::string> registry;
  auto it = p.options.find("registry");
  if (it != p.options.end()) {
    if (it->second.empty()) return Usage("--registry needs a key path");
    registry = it->second;
  }
  std::string error;
  std::optional<std::string> bytes = BrandingFileBytes(p.positional[0], registry, error);
  if (!bytes) return Fail(error);
  return ConfbaseResult{0, *bytes, {}};
}

}  // namespace

std::optional<std::string> EncipherProductName(std::string_view name) {
  // The name's Windows-1252 bytes; a character without one cannot come out of the cipher.
  std::string nameBytes;
  for (char32_t c : DecodeUtf8(name)) {
    int b = CodePointToCp1252(c);
    if (b < 0 || c == 0xFFFD) return std::nullopt;
    nameBytes.push_back(static_cast<char>(b));
  }
  // An empty name needs a value all the same (an empty one means the default name).
  std::optional<std::string> plain = nameBytes.empty() ? std::string(kFillers[0]) : PlainWithFillers(nameBytes);
  if (!plain) return std::nullopt;
  std::string cipher;
  if (EncipherRun(*plain, 0, &cipher) < 0) return std::nullopt;
  std::string v = Cp1252ToUtf8(cipher);
  if (DecipherProductName(v) != name) return std::nullopt;  // e.g. a name holding "RURU"
  return v;
}

std::optional<std::string> BrandingFileBytes(std::string_view name,
                                             const std::optional<std::string>& registryPath,
                                             std::string& error) {
  std::string text;
  std::optional<std::string> v = EncipherProductName(name);
  if (v) {
    text = GuardoBloqueTexto(text, "NombreProducto", *v);
  } else if (name != kDefaultProductName) {
    error = "the product name \"" + std::string(name) + "\" has no enciphered form";
    return std::nullopt;
  }
  if (registryPath) text = GuardoBloqueTexto(text, "RutaDeRegistro", *registryPath);
  const std::string bytes = Utf8ToCp1252(text);

  // Read it back the way the start-up sequence does.
  const std::string read = Cp1252ToUtf8(bytes);
  if (DecipherProductName(LeerBloqueTexto(read, "NombreProducto")) != name) {
    error = "the product name \"" + std::string(name) + "\" does not read back from the branding file";
    return std::nullopt;
  }
  if (registryPath && LeerBloqueTexto(read, "RutaDeRegistro") != *registryPath) {
    error = "the registry path \"" + *registryPath + "\" does not read back from the branding file";
    return std::nullopt;
  }
  return bytes;
}

std::string ConfbaseHelp() {
  return
      "Usage:\n"
      "  confbase show FILE [--key KEY]\n"
      "      Print the deciphered tagged text of a connection description file (ConfBase.cfg).\n"
      "  confbase get FILE TAG [--key KEY]\n"
      "      Print the value of one block [TAG]...[/TAG] of that text.\n"
      "  confbase set FILE TAG VALUE [--key KEY]\n"
      "      Store VALUE as block TAG (\"*\" for the whole text) and encipher the file again;\n"
      "      a missing FILE counts as empty. A value that would not read back as given (a\n"
      "      line break at either end, its own closing tag, a character Windows-1252 lacks)\n"
      "      is refused and the file is left as it was.\n"
      "  confbase brand \"PRODUCT NAME\" [--registry PATH] > DatosConf.ini\n"
      "      Write a branding file (Windows-1252, CR LF) whose NombreProducto deciphers to\n"
      "      the name, and with --registry also RutaDeRegistro. The default name \"Kelv\n"
      "      Personal\u00ae\" has no enciphered form (\u00ae never comes out of the cipher) and is\n"
      "      written by leaving NombreProducto out. A name that cannot be written fails.\n"
      "  confbase --help\n"
      "  confbase --version\n"
      "\n"
      "KEY is the file's key; by default the built-in key QqRrSs86420975.\n"
      "show and get print the text followed by a line break. Exit status: 0 on success,\n"
      "1 with a one-line message on standard error for bad usage or a file that cannot be\n"
      "read or written.\n";
}

ConfbaseResult RunConfbase(const std::vector<std::string>& args) {
  try {
    if (args.empty()) return Usage("no command given");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
      return ConfbaseResult{0, ConfbaseHelp(), {}};
    }
    for (const std::string& a : args) {
      if (a == "--help" || a == "-h") return ConfbaseResult{0, ConfbaseHelp(), {}};
    }
    Parsed parsed;
    std::string error;
    const std::vector<std::string> allowed =
        command == "brand" ? std::vector<std::string>{"registry"} : std::vector<std::string>{"key"};
    if (!ParseArgs(args, 1, allowed, parsed, error)) return Usage(error);
    if (command == "show") return Show(parsed);
    if (command == "get") return Get(parsed);
    if (command == "set") return Set(parsed);
    if (command == "brand") return Brand(parsed);
    return Usage("unknown command " + command);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

}  // namespace kelv
