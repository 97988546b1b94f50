// The one exception type that crosses subsystem boundaries (all OSes).
//
// Operations that report failures to their caller throw KelvError with a number, a source
// and a description, as the original component's runtime errors carried them. Expected
// outcomes (a missing value, file or tag) are never errors: they are the empty text.
#pragma once

#include <stdexcept>
#include <string>

namespace kelv {

// Well-known error numbers, the same values the original runtime used.
enum ErrorNumber : int {
  kErrInvalidArgument = 5,    // invalid procedure call or argument
  kErrOverflow = 6,           // a number does not fit its type
  kErrSubscript = 9,          // position or key out of range
  kErrTypeMismatch = 13,      // a value of the wrong kind
  kErrFile = 75,              // path or file access error
  kErrObjectRequired = 424,   // an object was needed
  kErrObjectNotSet = 91,      // object reference not set
  kErrDuplicateKey = 457,     // key already present in a keyed list
};

// A failure raised to the caller. what() returns the description.
class KelvError : public std::runtime_error {
 public:
  // number: one of ErrorNumber or a back-end's own code; source: the component or
  // operation that failed; description: a readable text, shown to people as it is.
  KelvError(int number, std::string source, const std::string& description)
      : std::runtime_error(description), number_(number), source_(std::move(source)) {}

  int Number() const noexcept { return number_; }
  const std::string& Source() const noexcept { return source_; }
  std::string Description() const { return what(); }

 private:
  int number_;
  std::string source_;
};

}  // namespace kelv
