// loyalty-merchant: the QR codes a store shows to its customers' phones.
#include "Crypto.h"
#include "Values.h"

#include <ZXing/BarcodeFormat.h>
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <QImage>
#include <QString>

#include <cstdint>
#include <iostream>
#include <map>
#include <optional>
#include <string>

namespace {

constexpr const char *kDefaultCompanyKey = "GRP-DEMO-7Q2X";

void usage(std::ostream &out)
{
    out << "usage: loyalty-merchant KIND [options]\n"
           "KIND is one of:\n"
           "  add          add points to the customer's point card\n"
           "               fields: merchant,time,points,staff id,staff name[,store id[,store name]]\n"
           "  exchange     exchange the customer's full point card for its reward\n"
           "               fields: merchant,time,staff id,staff name[,store id[,store name]]\n"
           "  coupon       the simple coupon code: md5(company_merchant_store name) + \"_\" + store id\n"
           "  coupon-code  the enciphered coupon code (the exchange layout; store id required)\n"
           "Options:\n"
           "  --merchant-id N   merchant id (required)\n"
           "  --points N        points to add (add only, required there)\n"
           "  --staff-id N      staff user id (add, exchange, coupon-code)\n"
           "  --staff-name S    staff user name (add, exchange, coupon-code)\n"
           "  --store-id N      store id; without it add and exchange make the short forms\n"
           "                    (which the phone refuses for add: it needs the store id)\n"
           "  --store-name S    store name; with it the phone checks the store (needs --store-id;\n"
           "                    required for coupon, whose digest covers it)\n"
           "  --company-key K   company key for the simple coupon code (default GRP-DEMO-7Q2X)\n"
           "  --time-ms T       the code's time in milliseconds since 1970 (default: now)\n"
           "  --png FILE        also write the QR code as a PNG picture\n"
           "  --module N        pixels per QR module in the PNG (default 8)\n"
           "  --no-qr           do not draw the QR code on the terminal\n"
           "  --help            this text\n"
           "Prints \"payload: TEXT\" (the deciphered text), \"code: TEXT\" (what the QR code holds)\n"
           "and the QR code. Names may not contain a comma: the payload has no quoting.\n";
}

int fail(const std::string &message)
{
    std::cerr << "loyalty-merchant: " << message << '\n';
    return 2;
}

bool isInteger(const std::string &text)
{
    if (text.empty())
        return false;
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

void printQr(const ZXing::BitMatrix &matrix)
{
    // Two characters per module keep the code square on a terminal.
    for (int y = 0; y < matrix.height(); ++y) {
        std::string line;
        for (int x = 0; x < matrix.width(); ++x)
            line += matrix.get(x, y) ? "\u2588\u2588" : "  ";
        std::cout << line << '\n';
    }
}

bool writePng(const ZXing::BitMatrix &matrix, const std::string &file, int module)
{
    QImage image(matrix.width() * module, matrix.height() * module, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < matrix.height(); ++y)
        for (int x = 0; x < matrix.width(); ++x)
            if (matrix.get(x, y))
                for (int dy = 0; dy < module; ++dy) {
                    uchar *row = image.scanLine(y * module + dy);
                    for (int dx = 0; dx < module; ++dx)
                        row[x * module + dx] = 0;
                }
    return image.save(QString::fromStdString(file), "PNG");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        usage(std::cerr);
        return 2;
    }
    const std::string kind = argv[1];
    if (kind == "--help" || kind == "-h") {
        usage(std::cout);
        return 0;
    }
    std::map<std::string, std::string> options;
    bool drawQr = true;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(std::cout);
            return 0;
        }
        if (arg == "--no-qr") {
            drawQr = false;
            continue;
        }
        static const char *const valued[] = {"--merchant-id", "--points",   "--staff-id", "--staff-name",
                                             "--store-id",    "--store-name", "--company-key", "--time-ms",
                                             "--png",         "--module"};
        bool known = false;
        for (const char *name : valued)
            known = known || arg == name;
        if (!known)
            return fail("unknown option " + arg);
        if (i + 1 >= argc)
            return fail(arg + " needs a value");
        options[arg.substr(2)] = argv[++i];
    }
    const auto opt = [&](const std::string &name) -> std::optional<std::string> {
        const auto it = options.find(name);
        return it == options.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    for (const char *name : {"merchant-id", "points", "staff-id", "store-id", "time-ms", "module"})
        if (opt(name) && !isInteger(*opt(name)))
            return fail(std::string("--") + name + " must be an integer");
    for (const char *name : {"staff-name", "store-name"})
        if (opt(name) && opt(name)->find(',') != std::string::npos)
            return fail(std::string("--") + name + " may not contain a comma");
    if (!opt("merchant-id"))
        return fail("--merchant-id is required");
    if (opt("store-name") && !opt("store-id"))
        return fail("--store-name needs --store-id");

    const std::string merchant = *opt("merchant-id");
    const std::string time = opt("time-ms").value_or(std::to_string(Crypto::nowMs()));
    std::string payload;
    std::string code;
    const auto staffPart = [&]() -> std::optional<std::string> {
        if (!opt("staff-id") || !opt("staff-name"))
            return std::nullopt;
        return *opt("staff-id") + "," + *opt("staff-name");
    };
    const auto storePart = [&]() {
        std::string part;
        if (opt("store-id"))
            part += "," + *opt("store-id");
        if (opt("store-name"))
            part += "," + *opt("store-name");
        return part;
    };

    if (kind == "add") {
        if (!opt("points"))
            return fail("add needs --points");
        const auto staff = staffPart();
        if (!staff)
            return fail("add needs --staff-id and --staff-name");
        payload = merchant + "," + time + "," + *opt("points") + "," + *staff + storePart();
        code = Crypto::tripleDesEncryptBase64(payload);
    } else if (kind == "exchange" || kind == "coupon-code") {
        const auto staff = staffPart();
        if (!staff)
            return fail(kind + " needs --staff-id and --staff-name");
        if (kind == "coupon-code" && !opt("store-id"))
            return fail("coupon-code needs --store-id");
        payload = merchant + "," + time + "," + *staff + storePart();
        code = Crypto::tripleDesEncryptBase64(payload);
    } else if (kind == "coupon") {
        if (!opt("store-id") || !opt("store-name"))
            return fail("coupon needs --store-id and --store-name");
        // The digest names the merchant as a decimal integer, as the phone writes it.
        payload = opt("company-key").value_or(kDefaultCompanyKey) + "_"
            + std::to_string(Values::integerOf(merchant)) + "_" + *opt("store-name");
        code = Crypto::md5Hex(payload) + "_" + *opt("store-id");
    } else {
        usage(std::cerr);
        return fail("unknown kind " + kind);
    }
    if (code.empty())
        return fail("the cipher failed");

    std::cout << "payload: " << payload << '\n' << "code: " << code << '\n';
    ZXing::MultiFormatWriter writer(ZXing::BarcodeFormat::QRCode);
    writer.setMargin(2);
    const ZXing::BitMatrix matrix = writer.encode(code, 0, 0);
    if (drawQr)
        printQr(matrix);
    if (opt("png")) {
        const int module = static_cast<int>(Values::integerOf(opt("module").value_or("8")));
        if (module < 1 || module > 64)
            return fail("--module must be 1 to 64");
        if (!writePng(matrix, *opt("png"), module))
            return fail("cannot write " + *opt("png"));
    }
    return 0;
}
