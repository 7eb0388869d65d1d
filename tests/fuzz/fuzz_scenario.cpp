// Arbitrary text as a scenario file: the parser must take anything, report problems
// by line, and every text it reads must survive being written back and read again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "scenarioparser.h"

namespace {
[[noreturn]] void broken(const char* what)
{
    std::fprintf(stderr, "fuzz_scenario: %s\n", what);
    std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView source(reinterpret_cast<const char*>(data), qsizetype(size));
    const scenario::Script script = scenario::parse(source);

    const qsizetype lines = source.count('\n') + 1;
    int last = 0;
    for (const scenario::Step& step : script.steps) {
        if (step.line <= last || step.line > lines) broken("a step out of line order");
        last = step.line;
        for (const QByteArray& text : step.texts) {
            // Written as the runner's messages write it, the text reads back the same.
            const QByteArray written = scenario::quoted(text).toUtf8();
            qsizetype pos = 0;
            QByteArray back;
            QString expected, saw;
            if (!scenario::readText(written, pos, back, expected, saw)) broken("a quoted text does not read back");
            if (back != text) broken("a quoted text reads back differently");
            if (pos != written.size()) broken("a quoted text does not end at its closing quote");
        }
    }
    last = 0;
    for (const scenario::ParseError& error : script.errors) {
        if (error.line <= last || error.line > lines) broken("an error out of line order");
        last = error.line;
        if (error.expected.isEmpty()) broken("an error that says nothing");
    }
    return 0;
}
