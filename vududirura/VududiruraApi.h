#pragma once
// What the programs use of the application frame library is exported; the rest of the
// library stays hidden.
#define VUDU_API __attribute__((visibility("default")))
