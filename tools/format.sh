#!/bin/bash
# Formats every C++ file of the project with the project's .clang-format.
cd "$(dirname "$0")/.." || exit 1
find engine imageimport controls app dialogs tools tests bench resources \
    \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null | xargs -0 -r clang-format -i
