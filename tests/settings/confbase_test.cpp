// Tests of the confbase tool's commands and of the branding file's product name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "confbase_commands.h"
#include "platform/files.h"
#include "settings/branding.h"
#include "settings/crypto_drelo.h"
#include "settings/string_cipher.h"
#include "settings/tagged_text.h"
#include "test_folder.h"
#include "text/cp1252.h"

namespace kelv {
namespace {

TEST(Branding, DeciphersTheProductName) {
  const std::string key(kProductNameKey);
  // The cipher is its own inverse for ASCII, so EncDesEnc also enciphers these.
  auto enc = [&](const std::string& plain) { return EncDesEnc(plain, true, true, 1, key); };
  EXPECT_EQ(DecipherProductName(""), "Kelv Personal\u00ae");
  EXPECT_EQ(DecipherProductName(enc("Kelv")), "Kelv");
  EXPECT_EQ(DecipherProductName(enc("KeRURUlv QWTZM")), "Kelv");
  EXPECT_EQ(DecipherProductName(enc("RU QWTZMRU")), "RURU");  // "RURU" goes first
  EXPECT_EQ(DecipherProductName(enc("ruru QWTZm")), "ruru QWTZm");  // exact letter case
  EXPECT_EQ(DecipherProductName(enc("RURU")), "");  // no fallback to the default
}

TEST(ConfbaseBrand, NamesReadBackThroughTheStartUpPath) {
  TestFolder dir;
  const std::string file = dir.File("DatosConf.ini");
  for (const std::string name : {"Kelv Personal", "A\u00f1o \u00d1and\u00fa", "N\u00f3mina \u20ac",
                                  "\u00e1", "Kelv 2024-v1.5 [beta]", "", "Kelv Personal\u00ae",
                                  "\u00a9 Brandel \u00bf?", "0123456789:;<=>?"}) {
    SCOPED_TRACE(name);
    ConfbaseResult r = RunConfbase({"brand", name, "--registry", "SOFTWARE\\Otra Marca\\Kelv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::ofstream(std::filesystem::u8path(file), std::ios::binary | std::ios::trunc) << r.out;
    const std::string text = LeerBloqueArch(file, "*");
    EXPECT_EQ(DecipherProductName(LeerBloqueTexto(text, "NombreProducto")), name);
    EXPECT_EQ(LeerBloqueTexto(text, "RutaDeRegistro"), "SOFTWARE\\Otra Marca\\Kelv");
    // Only bytes that survive a text file: no NUL, no line-break bytes, no Ctrl-Z.
    const std::string value = Utf8ToCp1252(LeerBloqueTexto(text, "NombreProducto"));
    EXPECT_EQ(value.find_first_of(std::string("\0\r\n\x1A", 4)), std::string::npos);
    EXPECT_EQ(r.out.find("[NombreProducto]\r\n"), name == "Kelv Personal\u00ae" ? std::string::npos : 0u);
  }
  // The tagged-text layout as the writer makes it.
  ConfbaseResult plain = RunConfbase({"brand", "Kelv Personal"});
  ASSERT_EQ(plain.exitCode, 0);
  EXPECT_EQ(plain.out, "[NombreProducto]\r\n" + Utf8ToCp1252(*EncipherProductName("Kelv Personal")) +
                           "\r\n[/NombreProducto]");
}

TEST(ConfbaseBrand, NamesThatCannotBeWrittenFail) {
  for (const std::string name : {"\u0100", "Kelv \U0001F600", "RURU", "a QWTZM", "x\u00aey"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(EncipherProductName(name));
    ConfbaseResult r = RunConfbase({"brand", name});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("confbase: "), std::string::npos);
    EXPECT_EQ(r.err.find('\n'), std::string::npos);
  }
  EXPECT_EQ(RunConfbase({"brand", "x", "--registry", ""}).exitCode, 1);
  EXPECT_EQ(RunConfbase({"brand", "x", "--registry", "a\r\nb\r\n"}).exitCode, 1);  // would not read back
}

TEST(ConfbaseFile, SetThenShowAndGet) {
  TestFolder dir;
  const std::string file = dir.File("ConfBase.cfg");
  ASSERT_EQ(RunConfbase({"set", file, "Host", "servidor"}).exitCode, 0);  // missing file: empty
  ASSERT_EQ(RunConfbase({"set", file, "Permisos", "contrase\u00f1a"}).exitCode, 0);
  ASSERT_EQ(RunConfbase({"set", file, "Host", "otro"}).exitCode, 0);
  const std::string text = "[Permisos]\r\ncontrase\u00f1a\r\n[/Permisos]\r\n[Host]\r\notro\r\n[/Host]";
  EXPECT_EQ(RunConfbase({"show", file}).out, text + "\n");
  EXPECT_EQ(RunConfbase({"get", file, "host"}).out, "otro\n");
  EXPECT_EQ(RunConfbase({"get", file, "Puerto"}).out, "\n");

  // The file is what the connector reads: the built-in key over the tagged text.
  clsCryptoDrelo crypto;
  crypto.Password("QqRrSs86420975");
  crypto.InBuffer(CipherBuffer::FromBytes(crypto.LeerArchBinario(file)));
  crypto.Decrypt();
  EXPECT_EQ(crypto.OutBuffer().Text(), text);

  // Another key.
  const std::string keyed = dir.File("keyed.cfg");
  ASSERT_EQ(RunConfbase({"set", keyed, "TipoBD", "SQLServer", "--key", "clave"}).exitCode, 0);
  EXPECT_EQ(RunConfbase({"get", keyed, "TipoBD", "--key=clave"}).out, "SQLServer\n");
  EXPECT_NE(RunConfbase({"get", keyed, "TipoBD"}).out, "SQLServer\n");

  // The whole text, and an empty whole text.
  ASSERT_EQ(RunConfbase({"set", keyed, "*", "[A]x[/A]", "--key", "clave"}).exitCode, 0);
  EXPECT_EQ(RunConfbase({"show", keyed, "--key", "clave"}).out, "[A]x[/A]\n");
  ASSERT_EQ(RunConfbase({"set", keyed, "*", "", "--key", "clave"}).exitCode, 0);
  EXPECT_EQ(FileSize(keyed).value_or(99), 0u);
  EXPECT_EQ(RunConfbase({"show", keyed}).out, "\n");
}

TEST(ConfbaseFile, FailuresLeaveFilesAlone) {
  TestFolder dir;
  const std::string file = dir.File("ConfBase.cfg");
  ASSERT_EQ(RunConfbase({"set", file, "Host", "a"}).exitCode, 0);
  const std::string before = ReadFileBytes(file).value_or("");
  struct Case { std::vector<std::string> args; };
  const Case cases[] = {
      {{"set", file, "Host", "\r\nleading break"}},     // would read back differently
      {{"set", file, "Host", "x[/Host]y"}},             // holds its own closing tag
      {{"set", file, "Host", "\u0100"}},                // no Windows-1252 form
      {{"show", dir.File("missing.cfg")}},
      {{"get", dir.File("missing.cfg"), "Host"}},
      {{"show", dir.Path()}},                           // a folder cannot be read
      {{"set", dir.Path(), "Host", "x"}},
      {{"set", dir.File("no-folder") + "/x.cfg", "Host", "x"}},
      {{}},
      {{"show"}},
      {{"get", file}},
      {{"set", file, "Host"}},
      {{"frobnicate", file}},
      {{"show", file, "--registry", "x"}},
      {{"show", file, "--key"}},
      {{"brand"}},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    ConfbaseResult r = RunConfbase(c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("confbase: ", 0), 0u);
    EXPECT_EQ(r.err.find('\n'), std::string::npos);
  }
  EXPECT_EQ(ReadFileBytes(file).value_or(""), before);
  EXPECT_FALSE(PathExists(dir.File("missing.cfg")));
  ConfbaseResult help = RunConfbase({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("confbase set FILE TAG VALUE"), std::string::npos);
  EXPECT_EQ(RunConfbase({"get", "--help"}).exitCode, 0);
}

}  // namespace
}  // namespace kelv
