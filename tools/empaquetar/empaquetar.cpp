// empaquetar: writes a copy of the installer that carries the update package "VERS" and,
// if given, the web-module package "MWEB", each with its SHA-256 digest; with --verify it
// checks a packed installer against those digests (all OSes). On Windows the packages
// become resources of type "CUSTOM"; elsewhere they are appended behind a footer, in
// chunks, so a package of several hundred megabytes needs little memory.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/version.h"
#include "update/payload.h"
#include "verify.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void Usage(std::FILE* to) {
  std::fprintf(to,
               "Usage: empaquetar INSTALLER --vers PACKAGE [--mweb PACKAGE] [--without-digest]\n"
               "                  -o OUTPUT\n"
               "       empaquetar --verify INSTALLER\n"
               "Writes to OUTPUT a copy of INSTALLER that carries PACKAGE as its update\n"
               "package \"VERS\" and, with --mweb, a web-module package \"MWEB\" (used by the\n"
               "installer when \"VERS\" is absent or shorter than 2 bytes). Packages the\n"
               "installer carried before are replaced. At least one package is needed. Each\n"
               "package is stored with its SHA-256 digest, and the installer refuses to hand\n"
               "on a package that does not match it.\n"
               "  --vers PACKAGE    the update package\n"
               "  --mweb PACKAGE    the web-module package\n"
               "  -o OUTPUT         the installer to write (replaced when present)\n"
               "  --without-digest  store no digests, as packers before them did (the\n"
               "                    installer then runs unchecked; for comparisons)\n"
               "  --verify INSTALLER\n"
               "                    check a packed installer without running it: prints each\n"
               "                    package's name, size in bytes, SHA-256 and verdict\n"
               "  -h, --help        this text\n"
               "  --version         the program's version\n"
               "Exit status when packing: 0 written, 1 a file cannot be read or written (or\n"
               "the installer is damaged), 2 bad usage.\n"
               "Exit status of --verify: 0 every package matches its digest, 1 the installer\n"
               "cannot be read, 2 bad usage, 3 damaged (a package differs from its digest or is\n"
               "cut short, or the file carries bytes after its executable image that are no\n"
               "valid set of packages), 4 packed without digests (cannot be checked), 5 it\n"
               "carries no package.\n");
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "empaquetar: %s\n", message.c_str());
  return kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  if (kelv::ShowVersionIfAsked(argc, argv, "empaquetar")) return 0;
  std::string installer;
  std::string output;
  std::string verify;
  kelv::StoreDigests digests = kelv::StoreDigests::kYes;
  std::vector<kelv::PayloadFile> payloads;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      Usage(stdout);
      return 0;
    }
    const bool takesValue = arg == "--vers" || arg == "--mweb" || arg == "-o" || arg == "--verify";
    if (takesValue && i + 1 >= argc) {
      std::fprintf(stderr, "empaquetar: %s needs a value\n", arg.c_str());
      Usage(stderr);
      return kExitUsage;
    }
    if (arg == "--vers") {
      payloads.push_back({"VERS", argv[++i]});
    } else if (arg == "--mweb") {
      payloads.push_back({"MWEB", argv[++i]});
    } else if (arg == "-o") {
      output = argv[++i];
    } else if (arg == "--verify") {
      verify = argv[++i];
    } else if (arg == "--without-digest") {
      digests = kelv::StoreDigests::kNo;
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "empaquetar: unknown option %s\n", arg.c_str());
      Usage(stderr);
      return kExitUsage;
    } else if (installer.empty()) {
      installer = arg;
    } else {
      std::fprintf(stderr, "empaquetar: more than one installer given: %s\n", arg.c_str());
      return kExitUsage;
    }
  }
  if (!verify.empty()) {
    if (!installer.empty() || !output.empty() || !payloads.empty() ||
        digests == kelv::StoreDigests::kNo) {
      std::fprintf(stderr, "empaquetar: --verify takes the installer alone\n");
      return kExitUsage;
    }
    return kelv::VerifyInstaller(verify, stdout, stderr);
  }
  if (installer.empty() || output.empty() || payloads.empty()) {
    Usage(stderr);
    return kExitUsage;
  }
  for (std::size_t i = 0; i < payloads.size(); ++i) {
    for (std::size_t j = i + 1; j < payloads.size(); ++j) {
      if (payloads[i].name == payloads[j].name) {
        return Fail("the package " + payloads[i].name + " is given twice");
      }
    }
  }
  if (!kelv::FileSize(installer)) return Fail("cannot read the installer " + installer);
  for (const kelv::PayloadFile& p : payloads) {
    if (!kelv::FileSize(p.path)) return Fail("cannot read the package " + p.path);
  }
  try {
    kelv::PackInstaller(installer, payloads, output, digests);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  return 0;
}
