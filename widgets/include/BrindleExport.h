#pragma once
// The tree builds with hidden visibility; the classes and functions that the
// programs use from libBrindle.so are marked with BRINDLE_API.

#define BRINDLE_API __attribute__((visibility("default")))
