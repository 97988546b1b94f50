// Tests of the console forms: the dialog and the message box on standard error, answers
// read from standard input, and the KELV_NO_UI rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "dialogs/alert_console.h"
#include "dialogs/mensaje_preg.h"
#include "platform/message_box.h"
#include "platform/message_box_console.h"
#include "platform/message_box_text.h"
#include "text/error.h"

namespace kelv {
namespace {

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value);
#else
  if (*value)
    setenv(name, value, 1);
  else
    unsetenv(name);
#endif
}

// Sets KELV_NO_UI for one test and restores the former state afterwards.
class NoUi : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("KELV_NO_UI");
    saved_ = old ? old : "";
    SetEnvironment("KELV_NO_UI", "1");
  }
  void TearDown() override { SetEnvironment("KELV_NO_UI", saved_.c_str()); }

 private:
  std::string saved_;
};

// Replaces standard input with fixed text while alive.
class FakeInput {
 public:
  explicit FakeInput(const std::string& text) : in_(text), old_(std::cin.rdbuf(in_.rdbuf())) {}
  ~FakeInput() {
    std::cin.rdbuf(old_);
    std::cin.clear();
  }

 private:
  std::istringstream in_;
  std::streambuf* old_;
};

TEST(ConsoleText, CaptionsShowTheirMnemonicInBrackets) {
  struct Case {
    const char* caption;
    const char* shown;
  } cases[] = {{"&Si", "[S]i"},           {"S&i a todo", "S[i] a todo"},
               {"A&&B", "A&B"},           {"&\xC3\x91u", "[\xC3\x91]u"},
               {"fin&", "fin&"},          {"Uno", "Uno"},
               {"", ""}};
  for (const Case& c : cases) EXPECT_EQ(ConsoleCaption(c.caption), c.shown) << c.caption;
}

TEST(ConsoleText, DialogAndMessageBoxTexts) {
  AlertForm form = MakeAlertForm("L\xC3\xADnea 1\r\nL\xC3\xADnea 2", 3, 1, "", "", "Kelv");
  EXPECT_EQ(ConsoleAlertText(form),
            "Kelv: L\xC3\xADnea 1\nL\xC3\xADnea 2\n"
            "Botones:  [S]i  [N]o  [C]ancelar  (Enter: [S]i)");
  EXPECT_EQ(ConsoleMessageText("a\r\nb\rc", "T\xC3\xADtulo"), "T\xC3\xADtulo: a\nb\nc");
  EXPECT_EQ(ConsoleMessageText("sin t\xC3\xADtulo", ""), "sin t\xC3\xADtulo");
  EXPECT_EQ(NormaliseLineBreaks("a\r\n\r\nb\n"), "a\n\nb\n");
  EXPECT_EQ(LiteralFltkLabel("50 @ 3 & 4\r\nx"), "50 @@ 3 & 4\nx");
}

TEST(ConsoleAnswer, ReadsLettersAndEnterUntilAButtonIsNamed) {
  struct Case {
    const char* input;
    int code;
  } cases[] = {
      {"\n", 6},             // Enter: the first shown button
      {"n\n", 7},
      {"  c  \n", 2},
      {"x\nzz\nN\n", 7},     // unknown letters are asked again
      {"no\n", 7},           // the first character counts
      {"", 2},               // end of input: closed without a button
      {"q\n", 2},
      {"\r\n", 6},
  };
  AlertForm form = MakeAlertForm("\xC2\xBFSeguir?", 3, 1, "", "", "P");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    FakeInput input(c.input);
    testing::internal::CaptureStderr();
    std::int16_t code = ShowAlertOnConsole(form, true);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, c.code);
    EXPECT_NE(err.find("\xC2\xBFSeguir?"), std::string::npos) << err;
  }
}

TEST_F(NoUi, MensajePregAnswersAsEnterWithoutReading) {
  struct Case {
    int tipo;
    const char* opcional;
    int code;
  } cases[] = {{0, "", 1}, {1, "", 1}, {2, "", 6}, {3, "", 6}, {4, "", 6}, {5, "Uno*Dos", 0}};
  // Input that would press another button if it were read.
  FakeInput input("c\nn\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tipo);
    testing::internal::CaptureStderr();
    std::int16_t code = MensajePreg("Mensaje de prueba", static_cast<std::uint8_t>(c.tipo), 2,
                                    c.opcional, "Prueba");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, c.code);
    EXPECT_NE(err.find("Prueba: Mensaje de prueba"), std::string::npos) << err;
    EXPECT_NE(err.find("Botones:"), std::string::npos) << err;
  }
  std::string unread;
  std::getline(std::cin, unread);
  EXPECT_EQ(unread, "c");
}

TEST_F(NoUi, MensajePregShowsTheProductNameWhenNoTitleIsGiven) {
  EXPECT_EQ(NombreProducto(), "Kelv Personal\xC2\xAE");
  testing::internal::CaptureStderr();
  MensajePreg("Uno", 0, 0, "", "");
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Kelv Personal\xC2\xAE: Uno", 0), 0u);

  SetNombreProducto("Otro Producto");
  testing::internal::CaptureStderr();
  MensajePreg("Dos", 0, 0, "", "");
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Otro Producto: Dos", 0), 0u);
  SetNombreProducto("Kelv Personal\xC2\xAE");
}

TEST_F(NoUi, MensajePregRejectsUnknownSetsBeforeShowingAnything) {
  testing::internal::CaptureStderr();
  EXPECT_THROW(MensajePreg("m", 6, 0, "", ""), KelvError);
  EXPECT_THROW(MensajePreg("m", 0, 4, "", ""), KelvError);
  EXPECT_THROW(MensajePreg("m", 5, 0, "", ""), KelvError);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(NoUi, MessageBoxWritesTitleAndTextWithoutWaiting) {
  FakeInput input("\n");
  EXPECT_EQ(ApplicationTitle(), "");
  testing::internal::CaptureStderr();
  ShowMessageBox("Sin t\xC3\xADtulo");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Sin t\xC3\xADtulo\n");

  SetApplicationTitle("Actualizador Kelv Personal\xC2\xAE");
  testing::internal::CaptureStderr();
  ShowMessageBox("No se puede ejecutar la actualizaci\xC3\xB3n\r\nporque s\xC3\xAD");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Actualizador Kelv Personal\xC2\xAE: No se puede ejecutar la actualizaci\xC3\xB3n\n"
            "porque s\xC3\xAD\n");

  testing::internal::CaptureStderr();
  ShowMessageBox("No se pudo conectar", "Notificador");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Notificador: No se pudo conectar\n");
  SetApplicationTitle("");
  EXPECT_TRUE(std::cin.good());
}

}  // namespace
}  // namespace kelv
