// Without libFuzzer (gcc builds) the fuzz target runs over its seed corpus and a set of
// generated inputs, so every test run exercises it.
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <random>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void run(const QByteArray& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.constData()),
                           static_cast<std::size_t>(input.size()));
}

QByteArray mutate(QByteArray input, std::mt19937& random) {
    static const char alphabet[] = "[]=;\"' \t\r\n\0-+0123456789abcZ\xEF\xBB\xBF\xFF";
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < edits; ++i) {
        const char c = alphabet[random() % (sizeof alphabet - 1)];
        const qsizetype at = input.isEmpty() ? 0 : static_cast<qsizetype>(random() % input.size());
        switch (random() % 3) {
        case 0:
            input.insert(at, c);
            break;
        case 1:
            if (!input.isEmpty())
                input[at] = c;
            break;
        default:
            input.remove(at, 1 + static_cast<qsizetype>(random() % 4));
            break;
        }
    }
    return input;
}

} // namespace

// Arguments: seed folders; "--mutations=N" sets the inputs made from each seed (2000), fewer
// for a target whose every input costs milliseconds.
int main(int argc, char* argv[]) {
    QList<QByteArray> seeds;
    int mutations = 2000;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument.startsWith("--mutations=")) {
            mutations = argument.mid(12).toInt();
            continue;
        }
        const QDir dir(QString::fromLocal8Bit(argv[i]));
        for (const QString& name : dir.entryList(QDir::Files)) {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                seeds.append(file.readAll());
        }
    }
    if (seeds.isEmpty())
        seeds.append(QByteArray());
    std::mt19937 random(20261207);
    int runs = 0;
    for (const QByteArray& seed : seeds) {
        run(seed);
        QByteArray input = seed;
        for (int i = 0; i < mutations; ++i, ++runs)
            run(input = (i % 50 == 0) ? seed : mutate(input, random));
    }
    std::printf("fuzz replay: %d inputs from %lld seeds\n", runs + static_cast<int>(seeds.size()),
                static_cast<long long>(seeds.size()));
    return 0;
}
