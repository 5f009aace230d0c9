// One input is a header file and an items file joined by kSeparator (or one text used for
// both). Every failure must be a VbError: a crash, a leak or a hang is a finding.

#include "platform/TextFileReader.h"
#include "runtime/VbError.h"
#include "transfer/modRET_lectura.h"
#include "transfer/modRET_transferencia.h"

#include <cstddef>
#include <cstdint>

namespace {
const QByteArray kSeparator("\n--ITEMS--\n");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype at = bytes.indexOf(kSeparator);
    const QByteArray header = at < 0 ? bytes : bytes.left(at);
    const QByteArray items = at < 0 ? bytes : bytes.mid(at + kSeparator.size());
    const bool omitir = (size % 2) == 1;
    try {
        RegistroDespacho r =
            modRET::getCaratula(modRET::prepararTextoRET(corvelix::decodeText(header)), omitir);
        modRET::getitems(modRET::prepararTextoRET(corvelix::decodeText(items)), r, !omitir);
        (void)modRET::convertCaratula_to_TXT(r);
        if (!r.Items.isEmpty())
            (void)modRET::convertItem_to_TXT(r);
    } catch (const corvelix::VbError&) {
        // Refused input: what the import dialog shows to the user.
    }
    return 0;
}
