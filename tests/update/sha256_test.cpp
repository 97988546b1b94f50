// Known answers of the SHA-256 back-end (libcrypto on Linux, CNG on Windows, Wine's CNG in
// the Windows test runs), directly and on a worker thread, and the digest's hexadecimal form.
#include <gtest/gtest.h>

#include "update/sha256.h"

namespace kelv {
namespace {

TEST(Sha256, KnownAnswersWholeAndInPieces) {
  struct Case { std::string input; const char* digest; };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input.substr(0, 20));
    EXPECT_EQ(DigestToHex(Sha256Of(c.input)), c.digest);
    // Fed in uneven pieces, as a stream is.
    Sha256 hash;
    for (std::size_t at = 0; at < c.input.size(); at += 997) {
      hash.Update(c.input.data() + at, std::min<std::size_t>(997, c.input.size() - at));
    }
    EXPECT_EQ(DigestToHex(hash.Finish()), c.digest);
    // The same on a worker thread, handed over from one buffer that is overwritten as soon
    // as Update returns, as a reader reuses its buffer.
    Sha256InBackground background;
    std::string buffer;
    for (std::size_t at = 0; at < c.input.size(); at += 997) {
      buffer = c.input.substr(at, 997);
      background.Update(buffer.data(), buffer.size());
      buffer.assign(buffer.size(), 'x');
    }
    EXPECT_EQ(DigestToHex(background.Finish()), c.digest);
  }
  // A computation left unfinished ends with its object.
  Sha256InBackground abandoned;
  abandoned.Update("abc", 3);
}

TEST(Sha256, HexadecimalForm) {
  const Sha256Digest d = Sha256Of("abc");
  EXPECT_EQ(DigestFromHex(DigestToHex(d)), d);
  EXPECT_EQ(DigestFromHex("BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"), d);
  const std::string hex = DigestToHex(d);
  for (const std::string& bad : {std::string(), hex.substr(1), hex + "0", "g" + hex.substr(1),
                                 hex.substr(0, 63) + " "}) {
    EXPECT_FALSE(DigestFromHex(bad)) << bad;
  }
}

}  // namespace
}  // namespace kelv
