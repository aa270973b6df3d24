#pragma once
#include <stdexcept>
#include <string>

// The one error type of the program. Its text is a sentence the user can act on:
// what was being done, then, for database failures, Firebird's own formatted status.
class EErro : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
