// Fuzzes dyr's readers of other quiz tools' files (Aiken, GIFT, CSV, Moodle XML): any
// bytes give notes on real lines, a sound import is a whole set, and what it exports
// without a note imports back the same.
#include "formats.h"
#include "fuzzsupport.h"

namespace {

int lineCount(const QByteArray& source) {
    return static_cast<int>(source.count('\n')) + 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte picks the format and the options; the rest is the source.
    const auto format = static_cast<dyr::Format>(data[0] % 4);
    dyr::ImportOptions options;
    options.cut = (data[0] & 0x10) != 0;
    options.replace = (data[0] & 0x20) != 0;
    options.first = (data[0] & 0x40) != 0 ? qo::SetRecords : 0;
    options.skipOthers = (data[0] & 0x80) != 0;
    const QByteArray source = fuzz::bytes(data + 1, size - 1);

    const dyr::Imported imported = dyr::importSet(format, source, options);
    for (const dyr::Note& note : imported.notes) {
        FUZZ_CHECK(note.line >= 0 && note.line <= lineCount(source));
        FUZZ_CHECK(!note.message.isEmpty());
    }
    if (!imported.ok())
        return 0;
    FUZZ_CHECK(imported.records.size() == qo::SetRecords);
    FUZZ_CHECK(imported.questions >= 0 && imported.questions <= qo::SetRecords);

    const dyr::Exported exported = dyr::exportSet(format, imported.records);
    FUZZ_CHECK(exported.questions == imported.questions);
    if (!exported.notes.isEmpty())
        return 0;
    const dyr::Imported back = dyr::importSet(format, exported.text, {});
    FUZZ_CHECK(back.ok());
    FUZZ_CHECK(back.records == imported.records);
    return 0;
}
