#include "Cipher.h"
#include "CipherConstants.h"
#include "Clock.h"
#include "HexString.h"

#include <QRegularExpression>
#include <QTest>

// Reference vectors made with the openssl command line (OpenSSL 3.0):
//   K=$(printf p4kw7tzemx2rhcyn | xxd -p); IV=$(printf q3n8v1s6b0x5m2k7 | xxd -p)
//   printf '<text>' | openssl enc -aes-128-cbc -K $K -iv $IV | xxd -p -c 64
//   K3=$(printf p4kw7tzemx2rhcynp4kw7tze | xxd -p -c 64)
//   printf '<bytes>' | openssl enc -des-ede3 -K $K3 -a -A
// The other key below is the hex of "mx2rhcynp4kw7tzemx2rhcyn".
namespace {

const QString kPayload = QString::fromUtf8("MERCHANT-7|1352253600000|42|\xe5\x92\x96\xe5\x95\xa1");
const QString kPayloadBase64 = u"+vLc/uRwZS8ZLKgaQ+cZAvaYnLmo+LFeEFT5jM275N9we5FriH1xpA=="_qs;

// Made from "MERCHANT-7|1352253600000|42"; the second has its last byte set to 00.
const QString kAscii = u"+vLc/uRwZS8ZLKgaQ+cZAvaYnLmo+LFeeibKriPMd6s="_qs;
const QString kAsciiCorrupted = u"+vLc/uRwZS8ZLKgaQ+cZAvaYnLmo+LFeeibKriPMdwA="_qs;

} // namespace

class TestCipher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { Clock::setSource(nullptr); }

    void encryptMatchesOpenssl_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty: one block of padding") << QString() << u"2cd29c063a484c93e63c78b03c2c3993"_qs;
        QTest::newRow("16 characters: a whole block of padding")
            << u"abcdefghijklmnop"_qs << u"516ed64840939cb08ebad510a3f98738addddb074649116e4f1a2adcbffb0c0a"_qs;
        QTest::newRow("13-digit milliseconds") << u"1352253600000"_qs << u"dc84342f3174eb919783af5fd4b6afd9"_qs;
    }
    void encryptMatchesOpenssl()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Cipher::encrypt(text), expected);
    }

    void encryptTakesUtf8AndLongInput()
    {
        // Multi-byte characters count by their UTF-8 bytes: 6 characters, 18 bytes, 2 blocks.
        const QString wide = QString::fromUtf8("\xe5\x92\x96\xe5\x95\xa1\xe5\x92\x96\xe5\x95\xa1\xe5\x92\x96\xe5\x95\xa1");
        QCOMPARE(Cipher::encrypt(wide).size(), 64);
        // Beyond one chunk of the cipher loop the output still is input + padding.
        const QString big(3 * 1024 * 1024 + 5, QChar(u'x'));
        const QString hex = Cipher::encrypt(big);
        QCOMPARE(hex.size(), (big.size() / 16 + 1) * 32);
        QVERIFY(QRegularExpression(u"^[0-9a-f]+$"_qs).match(hex).hasMatch());
    }

    void passKeyFollowsWholeSeconds()
    {
        qint64 now = 1352253600000;
        Clock::setSource([&now] { return now; });
        const QString first = Cipher::generatePassKey();
        QCOMPARE(first, u"dc84342f3174eb919783af5fd4b6afd9"_qs);
        now += 999;
        QCOMPARE(Cipher::generatePassKey(), first);
        now += 1;
        // printf 1352253601000 | openssl enc -aes-128-cbc -K $K -iv $IV
        QCOMPARE(Cipher::generatePassKey(), u"a13dac7ae6cb9daf86540d608c83e7e0"_qs);
    }

    void decrypt3DESMatchesOpenssl()
    {
        QCOMPARE(Cipher::decrypt3DES(kPayloadBase64), kPayload);
    }

    void decrypt3DESRejectsBrokenInput_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("empty") << QString();
        QTest::newRow("not Base64") << u"not base64 at all!"_qs;
        QTest::newRow("non-ASCII") << QString::fromUtf8("+vLc/uRwZS8\xc3\xa9");
        QTest::newRow("line break inside") << u"+vLc/uRw\nZS8="_qs;
        QTest::newRow("unpadded") << u"+vLc/uRwZS8"_qs;
        QTest::newRow("12 bytes, not whole blocks") << u"+vLc/uRwZS8ZLKga"_qs;
        QTest::newRow("first block alone, bad padding") << u"+vLc/uRwZS8="_qs;
        // The leading blocks decipher to "MERCHANT-7|1352253600000" but the
        // padding is broken; a partial plaintext must not leak out.
        QTest::newRow("last block corrupted") << kAsciiCorrupted;
        QTest::newRow("other key") << u"/XwvZaOyFgXr4FqThc+HYe2uV44ePAYPk67FqYbIsY4="_qs;
        // printf '\xff\xfe\x41\x42' | openssl enc -des-ede3 -K $K3 -a -A
        QTest::newRow("plaintext not UTF-8") << u"wlqhznUrs8U="_qs;
    }
    void decrypt3DESRejectsBrokenInput()
    {
        QFETCH(QString, input);
        QCOMPARE(Cipher::decrypt3DES(input), QString());
    }

    void decrypt3DESHugeInput()
    {
        // ECB deciphers block by block, so the ciphertext repeated deciphers to
        // the plaintext repeated, with the inner copies' padding bytes kept.
        // Over a megabyte, it crosses the cipher loop's chunks.
        const QByteArray once = QByteArray::fromBase64(kPayloadBase64.toLatin1());
        const qsizetype padding = once.size() - kPayload.toUtf8().size();
        constexpr int kCopies = 30000;
        const QString repeated = QString::fromLatin1(once.repeated(kCopies).toBase64());
        const QString expected =
            (kPayload + QString(padding, QChar(char16_t(padding)))).repeated(kCopies - 1) + kPayload;
        QCOMPARE(Cipher::decrypt3DES(repeated), expected);

        // With a broken final block nothing at all comes out, though every
        // block before it deciphers to plain ASCII.
        const QByteArray broken = QByteArray::fromBase64(kAscii.toLatin1()).repeated(kCopies - 1)
                                  + QByteArray::fromBase64(kAsciiCorrupted.toLatin1());
        QCOMPARE(Cipher::decrypt3DES(kAscii), u"MERCHANT-7|1352253600000|42"_qs);
        QCOMPARE(Cipher::decrypt3DES(QString::fromLatin1(broken.toBase64())), QString());
    }

    void md5LowerCase_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // printf '<text>' | openssl md5
        QTest::newRow("empty") << QString() << u"d41d8cd98f00b204e9800998ecf8427e"_qs;
        QTest::newRow("abc") << u"abc"_qs << u"900150983cd24fb0d6963f7d28e17f72"_qs;
    }
    void md5LowerCase()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString digest = Cipher::md5(text);
        QCOMPARE(digest, expected);
        QVERIFY(digest != digest.toUpper());
    }

    void hexStringView()
    {
        const HexString hex(QByteArray("\x00\xaf\x5c", 3));
        QCOMPARE(hex.length(), 9);
        QCOMPARE(hex.toString(), u"00 af 5c "_qs);
        QString read;
        for (qsizetype p = 0; p < hex.length(); ++p) {
            const std::optional<QChar> c = hex.characterAtIndex(p);
            QVERIFY(c.has_value());
            read.append(*c);
        }
        QCOMPARE(read, hex.toString());
        QCOMPARE(hex.characterAtIndex(9), std::nullopt);
        QCOMPARE(hex.characterAtIndex(-1), std::nullopt);
        QCOMPARE(HexString(QByteArray()).characterAtIndex(0), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(TestCipher)
#include "tst_cipher.moc"
