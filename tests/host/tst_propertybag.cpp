#include "controls/host/componenthost.h"
#include "controls/host/propertybag.h"

#include <QTemporaryDir>
#include <QTest>

using qv::host::PropertyBag;

class PropertyBagTest : public QObject {
    Q_OBJECT
private slots:
    void missingKeyGivesDefault() {
        PropertyBag bag;
        QCOMPARE(bag.readInt(QStringLiteral("BTYPE"), 2), 2);
        QCOMPARE(bag.readString(QStringLiteral("TX"), QStringLiteral("x")), QStringLiteral("x"));
    }

    void valuesRoundTripThroughAFile() {
        PropertyBag bag;
        QFont font(QStringLiteral("Times New Roman"), 12);
        font.setBold(true);
        bag.write(QStringLiteral("Caption"), QStringLiteral("Save && E&xit\nsecond line"));
        bag.write(QStringLiteral("Enabled"), false);
        bag.write(QStringLiteral("BCOL"), 0xC0C0C0);
        bag.write(QStringLiteral("Font"), font);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("button.props"));
        QVERIFY(bag.save(path));
        bool ok = false;
        PropertyBag loaded = PropertyBag::load(path, &ok);
        QVERIFY(ok);
        QCOMPARE(loaded.keys(), bag.keys());
        QCOMPARE(loaded.readString(QStringLiteral("caption"), {}),
                 QStringLiteral("Save && E&xit\nsecond line"));
        QCOMPARE(loaded.readBool(QStringLiteral("Enabled"), true), false);
        QCOMPARE(loaded.readInt(QStringLiteral("BCOL"), 0), 0xC0C0C0);
        QCOMPARE(loaded.readFont(QStringLiteral("Font"), QFont()), font);
    }

    void valueEqualToDefaultIsNotWritten() {
        PropertyBag bag;
        bag.write(QStringLiteral("Caption"), QStringLiteral("X"));
        bag.write(QStringLiteral("Caption"), QStringLiteral("Command"), QStringLiteral("Command"));
        bag.write(QStringLiteral("Enabled"), true, true);
        QVERIFY(bag.keys().isEmpty());
    }

    void unreadableTextGivesDefault() {
        PropertyBag bag = PropertyBag::fromBytes("BTYPE=abc\nEnabled=maybe\n");
        QCOMPARE(bag.readInt(QStringLiteral("BTYPE"), 2), 2);
        QCOMPARE(bag.readBool(QStringLiteral("Enabled"), true), true);
    }

    void accessesAreLoggedInOrder() {
        PropertyBag bag;
        bag.write(QStringLiteral("A"), 1);
        bag.readInt(QStringLiteral("B"), 0);
        const std::vector<PropertyBag::Access> expected = {
            {PropertyBag::Access::Write, QStringLiteral("A")},
            {PropertyBag::Access::Read, QStringLiteral("B")}};
        QCOMPARE(bag.log(), expected);
    }

    void recordingHostRecordsInOrder() {
        qv::host::RecordingHost host;
        QStringList ambient;
        connect(&host, &qv::host::ComponentHost::ambientChanged, this,
                [&](const QString& name) { ambient << name; });
        host.propertyChanged(QStringLiteral("Caption"));
        host.propertyChanged(QStringLiteral("Enabled"));
        host.setAmbientForeColor(Qt::red);
        host.messageBox(QStringLiteral("text"), QStringLiteral("title"));
        QCOMPARE(host.changed, QStringList({QStringLiteral("Caption"), QStringLiteral("Enabled")}));
        QCOMPARE(ambient, QStringList(QStringLiteral("ForeColor")));
        QCOMPARE(host.messages, QStringList(QStringLiteral("text")));
    }
};

QTEST_GUILESS_MAIN(PropertyBagTest)
#include "tst_propertybag.moc"
