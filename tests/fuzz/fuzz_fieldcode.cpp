// The merge's field codes and formulas on arbitrary text, as a template may hold them: the code
// is read into its kind, words and switches, and as a formula it is computed (with a bookmark
// and a small table to read). Neither may crash, hang or recurse without bound, whatever the
// nesting of quotes, parentheses or calls; a formula gives a finite number or one of the word
// processor's error texts, which all begin with "!".
#include "output/fieldformula.h"
#include "output/internal/fieldcode.h"

#include <QLocale>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qv::fields::FieldCode code =
        qv::fields::parseFieldCode({qv::fields::Piece{qv::fields::Piece::Text, text, {}, -1}});
    if (code.kind == qv::fields::FieldKind::Formula && code.args.empty() && code.fault.isEmpty())
        std::abort(); // a formula without words is a fault
    const qv::fields::FormulaTable table{{{"1", "2"}, {"x", ""}, {"3.5", "4"}}, 1, 1};
    qv::fields::FormulaSources sources;
    sources.bookmark = [](const QString& name) -> std::optional<QString> {
        if (name.compare(QLatin1String("total"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("12.5");
        return std::nullopt;
    };
    sources.table = [&table] { return &table; };
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        const qv::fields::FormulaResult r = qv::fields::evaluateFormula(text, locale, sources);
        if (r.error.isEmpty() ? !std::isfinite(r.value) : !r.error.startsWith(QLatin1Char('!')))
            std::abort();
        qv::fields::formulaFault(text, locale, {QStringLiteral("total")}, &table);
    }
    return 0;
}
