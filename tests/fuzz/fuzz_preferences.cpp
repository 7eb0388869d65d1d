// Arbitrary text as the preferences file: the reader must take anything a disk can
// hold, and whatever the writer writes must read back as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "prefs/preferences.h"

namespace {

[[noreturn]] void broken(const char* what)
{
    std::fprintf(stderr, "fuzz_preferences: %s\n", what);
    std::abort();
}

// The settings the reader finds, written back by the writer and read again, are
// the same settings.
void roundTrip(const prefs::LinkSettings& link, const prefs::DisplaySettings& display)
{
    prefs::Preferences p;
    p.serialPort = link.serialPort.value_or(prefs::kNoPort);
    p.baudRateRow = link.baudRateRow.value_or(0);
    p.contrast = display.contrast.value_or(false);
    p.autoScroll = display.autoScroll.value_or(false);
    if (display.dataRows)
        for (int r = 0; r < display.dataRows->size(); ++r)
            if (display.dataRows->at(r)) p.dataRows.append(r);

    const QByteArray text = prefs::write(p);
    const prefs::LinkSettings link2 = prefs::parseLinkSettings(text, 9);
    const prefs::DisplaySettings display2 = prefs::parseDisplaySettings(text, 3);
    prefs::Preferences q;
    q.serialPort = link2.serialPort.value_or(-1);
    q.baudRateRow = link2.baudRateRow.value_or(-1);
    q.contrast = display2.contrast.value_or(!p.contrast);
    q.autoScroll = display2.autoScroll.value_or(!p.autoScroll);
    if (display2.dataRows)
        for (int r = 0; r < display2.dataRows->size(); ++r)
            if (display2.dataRows->at(r)) q.dataRows.append(r);
    if (!(p == q)) broken("written preferences read back differently");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char*>(data), qsizetype(size));

    qsizetype lineBytes = 0;
    for (QByteArrayView line : prefs::splitLines(text)) {
        if (line.data() < text.data() || line.data() + line.size() > text.data() + text.size())
            broken("a line lies outside the text");
        if (line.contains('\n') || line.contains('\r')) broken("a line holds a line end");
        lineBytes += line.size();
        (void)prefs::leadingNumber(line);
    }
    if (lineBytes > text.size()) broken("the lines hold more than the text");

    const prefs::LinkSettings link = prefs::parseLinkSettings(text, 9);
    // Three rows as in the window, and more than ten, where row numbers have two digits.
    const prefs::DisplaySettings display = prefs::parseDisplaySettings(text, 3);
    const prefs::DisplaySettings wide = prefs::parseDisplaySettings(text, 12);
    if (display.dataRows && display.dataRows->size() != 3) broken("DATA: gave a row count other than 3");
    if (wide.dataRows && wide.dataRows->size() != 12) broken("DATA: gave a row count other than 12");
    roundTrip(link, display);
    return 0;
}
