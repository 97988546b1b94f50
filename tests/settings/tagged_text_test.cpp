// Tests of the tagged-text settings reader and writer, in memory and on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "settings/tagged_text.h"
#include "test_folder.h"

namespace kelv {
namespace {

std::string ReadRaw(const std::string& path) { return ReadFileBytes(path).value_or("<missing>"); }

void WriteRaw(const std::string& path, const std::string& bytes) {
  std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
}

TEST(TaggedText, ReadsBlocks) {
  struct Case { const char* text; const char* tag; const char* want; };
  const Case cases[] = {
      {"[A]x[/A]", "a", "x"},                                    // any letter case
      {"[a]x[/A]", "A", "x"},
      {"[A]\r\n\r\nx\r\n\r\n[/A]", "A", "\r\nx\r\n"},            // one line break off each side
      {"[A] x [/A]", "A", " x "},                                // spaces are kept
      {"[A]\tx\n[/A]", "A", "\tx\n"},                            // only CR LF pairs are dropped
      {"[A]1[/A][A]2[/A]", "A", "1"},                            // the first block counts
      {"[/A][A]x[/A]", "A", "x"},                                // closing tag searched after
      {"pre [A]x[/A] post [B]y[/B]", "B", "y"},                  // text between blocks
      {"[Outer][A]in[/A][/Outer]", "Outer", "[A]in[/A]"},        // nesting is not understood
      {"[Outer][A]in[/A][/Outer]", "A", "in"},
      {"[ A ]x[/ A ]", " A ", "x"},                              // spaces belong to the name
      {"[ A ]x[/ A ]", "A", ""},
      {"[B]x[/B]", "A", ""},                                     // missing block
      {"[A]dangling", "A", ""},                                  // no closing tag
      {"[A][/A]", "A", ""},
      {"\r\n[A]x[/A]\r\n", "*", "[A]x[/A]"},                     // whole text less one CR LF each end
      {"\r\n\r\nall\r\n\r\n", " * ", "\r\nall\r\n"},
      {"[*]x[/*]", "*", "[*]x[/*]"},
      {"", "A", ""},
      {"[Ñandú]\u00e1[/ñANDÚ]", "ñandú", "\u00e1"},               // Latin-1 letters fold too
      {"[A]\r\n[/A]", "A", ""},
      {"[A]\r\n\r\n[/A]", "A", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.tag);
    EXPECT_EQ(LeerBloqueTexto(c.text, c.tag), c.want);
  }
}

TEST(TaggedText, WritesBlocks) {
  struct Case { const char* text; const char* tag; const char* content; const char* want; };
  const Case cases[] = {
      {"", "A", "x", "[A]\r\nx\r\n[/A]"},
      {"[A]\r\nold\r\n[/A]\r\n[B]\r\ny\r\n[/B]", "A", "new",
       "[B]\r\ny\r\n[/B]\r\n[A]\r\nnew\r\n[/A]"},                           // rewritten block moves last
      {"[a]\r\nold\r\n[/a]", "A", "new", "[A]\r\nnew\r\n[/A]"},              // caller's spelling wins
      {"[B]\r\ny\r\n[/B]", "A", "\r\nx\r\n", "[B]\r\ny\r\n[/B]\r\n[A]\r\nx\r\n[/A]"},  // no extra breaks
      {"[B]\r\ny\r\n[/B]", "A", "", "[B]\r\ny\r\n[/B]\r\n[A]\r\n\r\n[/A]"},
      {"[A]\r\n1\r\n[/A]\r\n\r\n[B]\r\n2\r\n[/B]", "C", "3",
       "[A]\r\n1\r\n[/A]\r\n[B]\r\n2\r\n[/B]\r\n[C]\r\n3\r\n[/C]"},         // one blank line closed up
      {"[A]\r\n1\r\n[/A]\r\n\r\n\r\n[B]\r\n2\r\n[/B]", "C", "3",
       "[A]\r\n1\r\n[/A]\r\n\r\n\r\n[B]\r\n2\r\n[/B]\r\n[C]\r\n3\r\n[/C]"},  // two are kept
      {"[A]\r\n1\r\n[/A] \r\n\r\n [B]\r\n2\r\n[/B]", "C", "3",
       "[A]\r\n1\r\n[/A]\r\n[B]\r\n2\r\n[/B]\r\n[C]\r\n3\r\n[/C]"},
      {"  head  ", "A", "x", "head  \r\n[A]\r\nx\r\n[/A]"},                   // spaces at the ends go
      {"[A]1[/A]x[A]1[/A]", "A", "2", "x\r\n[A]\r\n2\r\n[/A]"},               // every copy removed
      {"[A]dangling\r\n[B]\r\ny\r\n[/B]", "A", "x",
       "dangling\r\n[B]\r\ny\r\n[/B]\r\n[A]\r\nx\r\n[/A]"},                  // dangling tag dropped
      {"[A]1[/A]\r\n[a]2[/a]", "A", "3", "[A]\r\n3\r\n[/A]"},               // a second block goes too
      {"[[A]x[/A]A]y", "A", "c", "y\r\n[A]\r\nc\r\n[/A]"},                   // as does a tag the removal made
      {"[A]\r\n1\r\n[/A]", "*", "raw\r\n", "raw\r\n"},                        // whole text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.tag + " / " + c.content);
    std::string written = GuardoBloqueTexto(c.text, c.tag, c.content);
    EXPECT_EQ(written, c.want);
    if (std::string(c.tag) != "*") {
      EXPECT_EQ(LeerBloqueTexto(written, c.tag), LeerBloqueTexto(std::string("[A]") + c.content + "[/A]", "A"));
    }
  }
}

TEST(TaggedTextFile, MissingFileReadsEmptyAndIsCreated) {
  TestFolder dir;
  const std::string path = dir.File("DatosConf.ini");
  EXPECT_EQ(LeerBloqueArch(path, "NombreProducto"), "");
  EXPECT_EQ(ReadRaw(path), "");  // left behind as an empty file

  const std::string inMissingFolder = dir.File("no-such-folder") + "/x.ini";
  EXPECT_EQ(LeerBloqueArch(inMissingFolder, "*"), "");
  GuardoBloqueArch(inMissingFolder, "A", "x");
  EXPECT_FALSE(PathExists(dir.File("no-such-folder")));
}

TEST(TaggedTextFile, DiskFormatIsWindows1252WithCrLf) {
  TestFolder dir;
  const std::string path = dir.File("conf.ini");
  GuardoBloqueArch(path, "Nombre", "Se\u00f1or \u20ac");
  GuardoBloqueArch(path, "Ruta", "C:\\x");
  EXPECT_EQ(ReadRaw(path), "[Nombre]\r\nSe\xF1or \x80\r\n[/Nombre]\r\n[Ruta]\r\nC:\\x\r\n[/Ruta]");
  EXPECT_EQ(LeerBloqueArch(path, "nombre"), "Se\u00f1or \u20ac");

  WriteRaw(path, "[A]\r\n\xE1\x81\r\n[/A]");  // an undefined byte survives
  EXPECT_EQ(LeerBloqueArch(path, "A"), "\u00e1\u0081");
  GuardoBloqueArch(path, "B", "\u0100");  // no Windows-1252 form: written as '?'
  EXPECT_EQ(ReadRaw(path), "[A]\r\n\xE1\x81\r\n[/A]\r\n[B]\r\n?\r\n[/B]");

  GuardoBloqueArch(path, " * ", "\r\nwhole\r\n");
  EXPECT_EQ(ReadRaw(path), "\r\nwhole\r\n");
}

TEST(TaggedTextFile, FailedWriteKeepsTheOldFile) {
  TestFolder dir;
  const std::string path = dir.File("conf.ini");
  const std::string old = "[A]\r\nold\r\n[/A]";
  WriteRaw(path, old);
  ASSERT_TRUE(SetReadOnly(path, true));
  GuardoBloqueArch(path, "A", "new");
  GuardoBloqueArch(path, "*", "new");
  SetReadOnly(path, false);
  EXPECT_EQ(ReadRaw(path), old);

  // A folder where the file should be: nothing is written and nothing is left beside it.
  const std::string folder = dir.File("folder.ini");
  std::filesystem::create_directory(std::filesystem::u8path(folder));
  GuardoBloqueArch(folder, "A", "x");
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_EQ(LeerBloqueArch(folder, "*"), "");
  std::size_t entries = 0;
  for (auto& e : std::filesystem::directory_iterator(std::filesystem::u8path(dir.Path()))) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 2u);  // conf.ini and folder.ini only: no temporary file left
}

TEST(TaggedTextFile, BadInputReadsWithoutFailing) {
  TestFolder dir;
  const std::string garbage = dir.File("garbage.bin");
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes.push_back(static_cast<char>((i * 131 + 7) % 256));
  WriteRaw(garbage, bytes + "[A]");
  EXPECT_EQ(LeerBloqueArch(garbage, "A"), "");
  EXPECT_EQ(LeerBloqueArch(garbage, "*").empty(), false);
  GuardoBloqueArch(garbage, "A", "x");
  EXPECT_EQ(LeerBloqueArch(garbage, "A"), "x");

  // A big file with the block at its very end.
  const std::string big = dir.File("big.ini");
  {
    std::ofstream out(std::filesystem::u8path(big), std::ios::binary);
    std::string line(1023, 'z');
    line += '\n';
    for (int i = 0; i < 100 * 1024; ++i) out << line;
    out << "[Fin]\r\nlast\r\n[/Fin]";
  }
  EXPECT_EQ(LeerBloqueArch(big, "FIN"), "last");
}

}  // namespace
}  // namespace kelv
