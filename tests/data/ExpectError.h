#pragma once
// Checks that a statement throws the program's runtime error with a given number.
#include "platform/RuntimeError.h"

#include <gtest/gtest.h>

#define EXPECT_RUNTIME_ERROR(statement, errorNumber)                                                         \
    do {                                                                                                     \
        try {                                                                                                \
            statement;                                                                                       \
            ADD_FAILURE() << "no error from: " #statement;                                                   \
        } catch (const orvia::RuntimeError &e) {                                                             \
            EXPECT_EQ(e.number(), (errorNumber)) << #statement << ": " << e.description().toStdString();     \
        }                                                                                                    \
    } while (0)
