#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{

// The offscreen screen of the resolution QT_FONT_DPI asks for, scaled as Qt
// scales a real screen of it (twice the pixels at 192): the offscreen
// platform takes a screen's resolution from its description alone.
QByteArray screenOfTheFontDpi(QTemporaryFile& description)
{
    const QByteArray dpi = qgetenv("QT_FONT_DPI");
    if (dpi.isEmpty() || !description.open()) {
        return {};
    }
    description.write(R"({"screens": [{"name": "", "x": 0, "y": 0, "width": 800, "height": 800,
        "logicalDpi": )" +
                      dpi + R"(, "logicalBaseDpi": 96, "dpr": 1.0}]})");
    description.close();
    // Named from the folder it is in: the platform's options part at colons,
    // and a Windows path has one.
    QDir::setCurrent(QFileInfo(description.fileName()).path());
    return "offscreen:configfile=" + QFileInfo(description.fileName()).fileName().toUtf8();
}

} // namespace

// "--env NAME=VALUE" sets a variable before Qt starts. Under wine a test's
// QT_ variables do not reach it (wine keeps them for itself), so the Windows
// build's tests take theirs this way.
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--env") == 0 && i + 1 < argc) {
            const QByteArray setting(argv[++i]);
            const qsizetype equals = setting.indexOf('=');
            qputenv(setting.left(equals).constData(), setting.mid(equals + 1));
        } else {
            arguments.push_back(argv[i]);
        }
    }
    QTemporaryFile description;
    QByteArray platform = screenOfTheFontDpi(description);
    QByteArray platformOption("-platform");
    if (!platform.isEmpty()) {
        arguments.insert(arguments.begin() + 1, {platformOption.data(), platform.data()});
    }
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr); // argv[argc], which both readers move along
    QApplication app(count, arguments.data());
    testing::InitGoogleTest(&count, arguments.data());
    return RUN_ALL_TESTS();
}
