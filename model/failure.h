#pragma once

#include <stdexcept>

// A run-time failure of the program: a text that is not a number, an arithmetic overflow
// or a floating-point fault. It travels up to the nearest procedure that handles it.
class Failure : public std::runtime_error {
public:
    enum class Kind { TypeMismatch, Overflow, FloatingPointFault };

    Failure(Kind kind, const char *what) : std::runtime_error(what), kind_(kind) {}

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};
