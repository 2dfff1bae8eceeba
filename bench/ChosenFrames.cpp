#include "ChosenFrames.h"

#include <QDir>
#include <QFileInfo>

namespace skarvel::bench {

std::vector<Row> measureChosenFrames(const std::string& cli, const QString& path, const std::string& name,
                                     Folders& folders, int repeat)
{
    QString out;
    const auto chosen = [&](std::vector<std::string> options) {
        return Run{[&, options] {
                       Measure m = exportProgram(cli, options, path.toStdString(), out.toStdString());
                       m.ok = m.ok && QDir(out).entryList(QDir::Files).size() == 1;
                       return m;
                   },
                   [&] { out = folders.next(); }};
    };
    const std::vector<Measure> m = bestInTurns(repeat, {
        {[&] { return program({cli, "info", path.toStdString()}); }},
        chosen({"--frames", "0", "--format", "png"}),
        chosen({"--frames", "last", "--composed", "--format", "png"}),
    });
    const double goal = QFileInfo(path).size() / 1048576.0 + 128;
    return {{name, "skarvel-frames export --frames 0 --format png", m[1], "skarvel-frames info", m[0], 1.2, goal},
            {name, "skarvel-frames export --frames last --composed --format png", m[2], "skarvel-frames info", m[0], 1.2,
             goal}};
}

} // namespace skarvel::bench
