# Turns a binary file into a C++ source holding its bytes: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=...
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR count "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}"
"// Generated from ${INPUT}; do not edit.\n#include <cstddef>\nnamespace kelvarn {\nextern const unsigned char ${SYMBOL}[] = {${bytes}};\nextern const std::size_t ${SYMBOL}Size = ${count};\n}\n")
