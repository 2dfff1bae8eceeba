// The skarvel-frames command, run as a separate process, mostly from small shell scripts that
// build odd names and folders in a scratch folder.
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skarvel::test;

namespace {

QByteArray twoFrames()
{
    ImageSpec first = GifBuilder::pattern(5, 4, 4);
    first.control = GraphicControl{2, 25};
    ImageSpec second = GifBuilder::pattern(3, 2, 4, 1);
    std::tie(second.left, second.top, second.control) = std::tuple(1, 2, GraphicControl{1, 0, 2});
    return GifBuilder(5, 4, distinctColours(4)).image(first).image(second).build();
}

// Three frames, the second with an unknown block in front of its image: it cannot be opened. The
// colours do not end in 0, so the first 00 21 F9 is the second frame's.
QByteArray brokenMiddle()
{
    QByteArray gif = GifBuilder(5, 4, distinctColours(4)).patterns(3).build();
    return gif.insert(gif.indexOf(QByteArray("\x00\x21\xF9", 3)) + 9, '\x99');
}

// 160 frames of a million pixels, frame 3 a tenth taller than the others, and frame 153 that cannot
// be decoded: an export that went on decoding after frame 3 failed would come to it, since the
// frames waiting to be written hold the split back by far fewer frames than that.
QByteArray largeFrames()
{
    GifBuilder builder{1000, 1100, distinctColours(4)};
    for (int i = 0; i < 160; ++i)
        builder.image(GifBuilder::solid(1000, i == 3 ? 1100 : 1000, std::uint8_t(i % 4)));
    QByteArray gif = builder.build();
    qsizetype at = -1;
    for (int i = 0; i <= 153; ++i)
        at = gif.indexOf(QByteArray("\x21\xF9", 2), at + 1);
    return gif.insert(at + 8, '\x99');
}

// Each: a script, its exit status, texts that must be in what it wrote, and what is left in out/
// ("{L}" stands for $L).
using Case = std::tuple<const char*, int, std::vector<const char*>, std::string>;

const Case kCases[] = {
    {"$X info -- anim.gif", 0, {"{\"result\": 1, \"width\": 5, \"height\": 4, \"frames\": [{\"index\": 0, \"clear\": true, "
     "\"delay\": 250, \"left\": 0, \"top\": 0, \"width\": 5, \"height\": 4, \"disposal\": 2}, {\"index\": 1, \"clear\": false, "
     "\"delay\": 100, \"left\": 1, \"top\": 2, \"width\": 3, \"height\": 2, \"disposal\": 1}]}\n"}, ""},
    {"$X export anim.gif out", 0, {"I 2 files sono stati salvati correttamente"}, "anim0.bmp anim1.bmp"},
    {"cp anim.gif my.anim.gif && $X export my.anim.gif out --format gif", 0, {}, "my0.gif my1.gif"},
    // Options end at "--"; a file may be called like one.
    {"cp anim.gif ./--format && $X export --format gif -- --format out", 0, {}, "--format0.gif --format1.gif"},
    // A frame name one byte longer than a folder holds is refused before anything is written.
    {"cp anim.gif ${L}x.gif && $X export ${L}x.gif out", 3, {"out/{L}x0.bmp: nome troppo lungo", "Si è verificato un'errore durante il salvataggio dei files"}, ""},
    {"$X info $(printf 'n\\377.gif')", 2, {"skarvel-frames: n\xff.gif: il file non esiste\n", "Impossibile aprire il file"}, ""},
    {"mkfifo f.gif && $X info f.gif", 2, {"f.gif: non è un file regolare", "Impossibile aprire il file"}, ""},
    {"ln -s l.gif l.gif && $X info l.gif", 2, {"l.gif: troppi collegamenti simbolici"}, ""},
    {": >e.gif && $X info e.gif", 1, {"e.gif: il file è vuoto", "non è una Gif animata,  oppure non è una\n GIF"}, ""},
    // A file of reported size 0 that has bytes is read, and is no GIF; one beyond the read limit is
    // refused for its size (a hole: it costs no disk), one that is no GIF for what it is.
    {"$X info /proc/self/status 2>e; rc=$?; grep -q vuoto e && exit 9; cat e; exit $rc", 1, {"non è una Gif animata"}, ""},
    {"printf GIF89a >g.gif && truncate -s 3G g.gif && truncate -s 5G z.gif && $X info z.gif && exit 9; $X export g.gif out",
     2, {"non è una Gif animata", "g.gif: il file supera il limite di ", "Impossibile aprire il file"}, ""},
    {"$X export anim.gif /dev/null", 3, {"/dev/null: non è una cartella", "Si è verificato un'errore durante il salvataggio dei files"}, ""},
    // The folder is looked at before the file is even read.
    {"$X export none.gif ''", 3, {"skarvel-frames: : la cartella non esiste"}, ""},
    // Frames written while later ones decode are never named when one of those fails.
    {"for n in '' 1; do env ${n:+SKARVEL_NO_TMPFILE=1} $X export rotto.gif out --format gif; done", 2,
     {"Impossibile aprire il file"}, ""},
    {"mkdir out/anim1.bmp && $X export anim.gif out", 3, {"out/anim1.bmp: è una cartella, non un file"}, "anim0.bmp anim1.bmp"},
    // A replaced file keeps only its permission bits, and a write-only one is replaced.
    {": >out/anim0.bmp && chmod 4755 out/anim0.bmp && : >out/anim1.bmp && chmod 200 out/anim1.bmp"
     " && $X export anim.gif out && stat -c '%n %a %s' out/* >&2", 0,
     {"out/anim0.bmp 755 102\nout/anim1.bmp 200 78\n"}, "anim0.bmp anim1.bmp"},
    // A link in place of a frame is replaced by a new file, whatever it points to, and nothing it
    // points to is touched. A new file gets 0666 less the umask, unnamed or a named temporary: all
    // six exports leave the same two files.
    {"umask 027 && mkdir d && mkfifo f && echo keep >t && chmod 777 t && for n in '' 1; do for links in '../d /dev/null'"
     " '../f ../t' 'anim0.bmp ../t'; do set -- $links; ln -sfn $1 out/anim0.bmp && ln -sfn $2 out/anim1.bmp &&"
     " env ${n:+SKARVEL_NO_TMPFILE=1} $X export anim.gif out >/dev/null && stat -c '%n %F %a' out/*; done; done | sort | uniq -c >&2;"
     " stat -c '%n %F %a' d f t && cat t", 0,
     {"      6 out/anim0.bmp regular file 640\n      6 out/anim1.bmp regular file 640\nd directory 750\nf fifo 640\nt regular file 777\nkeep\n"},
     "anim0.bmp anim1.bmp"},
    // A file we may not write is not replaced; root may write anything, so it is tried as nobody.
    {"chmod 755 . && chmod 777 out && : >out/anim0.bmp && chmod 444 out/anim0.bmp && R= && [ $(id -u) != 0 ] ||"
     " R='setpriv --reuid=65534 --regid=65534 --clear-groups'; $R $X export anim.gif out", 3, {"out/anim0.bmp: permesso negato"}, "anim0.bmp"},
    {": >out/anim1.bmp && chmod 6755 out/anim1.bmp && SKARVEL_NO_TMPFILE=1 $X export anim.gif out"
     " && stat -c '%n %a' out/anim1.bmp >&2", 0, {"out/anim1.bmp 755\n"}, "anim0.bmp anim1.bmp"},
    // A signal at the moment a replacement's hidden name exists, or is about to go, takes the name
    // with it, with and without unnamed files.
    {"ulimit -c 0; for n in '' 1; do for at in created renaming; do for s in INT TERM QUIT HUP; do $X export anim.gif out"
     " >/dev/null; env ${n:+SKARVEL_NO_TMPFILE=1} SKARVEL_STRIKE=$s SKARVEL_STRIKE_AT=$at LD_PRELOAD=$S"
     " ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 $X export anim.gif out; rc=$?;"
     " printf '%s:%s ' $rc $(ls -A out | grep -c '^[.]'); done; done; done 2>/dev/null", 0,
     {"130:0 143:0 131:0 129:0 130:0 143:0 131:0 129:0 130:0 143:0 131:0 129:0 130:0 143:0 131:0 129:0 "}, "anim0.bmp anim1.bmp"},
    // Past the file-size limit a write fails as on a full disk, and leaves nothing: written ahead,
    // through named temporaries, and with too few descriptors to write ahead at all. (The
    // ThreadSanitizer runtime writes a file before the program can ignore the signal.)
    {"ulimit -c 0; ulimit -f 0 && { $X --version >/dev/null || exit 77; } && $X export anim.gif out; echo \"$? [$(ls -A out)]\";"
     " SKARVEL_NO_TMPFILE=1 $X export anim.gif out 2>/dev/null; echo \"$? [$(ls -A out)]\";"
     " (ulimit -n 20; $X export anim.gif out 2>/dev/null); echo \"$? [$(ls -A out)]\"", 0,
     {"out/anim0.bmp: file troppo grande\n", "3 []\n3 []\n3 []\n"}, ""},
    // A folder that cannot be written is told before the file is even decoded (rotto.gif would fail).
    {"unshare -m true || exit 77; unshare -m sh -c 'mount -t tmpfs -o ro none out && $X export rotto.gif out'", 3,
     {"skarvel-frames: out: file system in sola lettura\n"}, ""},
    {"chmod 755 . && chmod 555 out && R= && [ $(id -u) != 0 ] || R='setpriv --reuid=65534 --regid=65534 --clear-groups';"
     " $R $X export rotto.gif out", 3, {"skarvel-frames: out: permesso negato\n"}, ""},
    // A frame that cannot be written stops the export there, with and without unnamed files: the
    // frames before it are named, nothing is decoded after it (the broken frame is never reached)
    // and nothing is left of it.
    {"ulimit -c 0; ulimit -f 2000; for n in '' 1; do env ${n:+SKARVEL_NO_TMPFILE=1} $X export grande.gif out;"
     " echo \"$? [$(ls -A out | paste -sd ' ')]\"; rm -f out/*; done", 0,
     {"skarvel-frames: out/grande3.bmp: file troppo grande\n", "3 [grande0.bmp grande1.bmp grande2.bmp]\nskarvel-frames: out/grande3.bmp",
      "\n3 [grande0.bmp grande1.bmp grande2.bmp]\n[]"}, ""},
    // Output that cannot be written fails the command, whose work is done all the same.
    {"$X info anim.gif >/dev/full; echo \"info $?\"; $X export anim.gif out >/dev/full; echo \"export $?\"", 0,
     {"skarvel-frames: uscita standard: spazio esaurito sul dispositivo\n", "info 74\n", "export 74\n"},
     "anim0.bmp anim1.bmp"},
    // A full disk, with and without unnamed files: the frame that did not fit leaves nothing.
    {"unshare -m true || exit 77; unshare -m sh -c 'mount -t tmpfs -o size=4k none out || exit 77; $X export anim.gif out"
     " --format gif; echo \"$? [$(ls -A out)]\"; rm out/*; SKARVEL_NO_TMPFILE=1 $X export anim.gif out --format gif 2>/dev/null;"
     " echo \"$? [$(ls -A out)]\"'", 0, {"out/anim1.gif: spazio esaurito sul dispositivo\n", "3 [anim0.gif]\n3 [anim0.gif]\n"}, ""},
    // Usage errors all end in 64.
    {"for a in '' split info 'info -x a.gif' 'info a.gif b.gif' 'export a.gif' 'export a.gif out x'"
     " 'export --format jpg a.gif out' 'export --composed --format gif a.gif out' 'export --format'; do $X $a 2>/dev/null; echo \"$? $a\"; done; $X --version; $X --help", 0,
     {"64 \n64 split\n64 info\n64 info -x a.gif\n64 info a.gif b.gif\n64 export a.gif\n64 export a.gif out x\n"
      "64 export --format jpg a.gif out\n64 export --composed --format gif a.gif out\n64 export --format\n"
      "skarvel-frames 1.3.0\n", "export [--format bmp|gif|png] [--composed] [--frames ELENCO] [--] FILE CARTELLA"}, ""},
    // A list that cannot be read is bad usage; one that names a frame the file lacks saves nothing.
    {"for l in '' a 3-1 1,,2 -3 1-2-3 ' 1' last-3 1, +1; do $X export --frames \"$l\" anim.gif out 2>/dev/null; echo \"$? [$l]\";"
     " done; $X export anim.gif out --frames 2>/dev/null; echo $?; for l in 2 0-2 2- 1,last,5; do $X export --frames $l anim.gif out"
     " --format png --composed; echo \"$? [$l]\"; done", 0,
     {"64 []\n64 [a]\n64 [3-1]\n64 [1,,2]\n64 [-3]\n64 [1-2-3]\n64 [ 1]\n64 [last-3]\n64 [1,]\n64 [+1]\n64\n",
      "skarvel-frames: anim.gif: il file ha 2 frame (da 0 a 1), non il frame 2\n4 [2]\n", "4 [0-2]\n", "4 [2-]\n", "4 [1,last,5]\n"}, ""},
};

} // namespace

TEST(Cli, EveryNameWorksAndEveryFailureSaysWhy)
{
    // Each script runs with sh in a scratch folder where anim.gif, rotto.gif and an empty
    // out/ wait; $X is skarvel-frames, $L a name of 250 letters, $S the library that strikes it.
    qputenv("X", SKARVEL_FRAMES_EXE);
    qputenv("L", QByteArray(250, 'x'));
    qputenv("S", SKARVEL_STRIKE_SHIM);
    const QByteArray large = largeFrames();
    // A case run as another user reads ThreadSanitizer's suppressions from its scratch folder: the
    // source tree may lie where only its owner may read, as in root's home.
    const QString sanitizer = qEnvironmentVariable("TSAN_OPTIONS");
    const QString suppressions = sanitizer.section(QStringLiteral("suppressions="), 1).section(u':', 0, 0);
    for (const auto& [script, code, says, files] : kCases) {
        SCOPED_TRACE(script);
        const ScratchDir dir;
        dir.write(QStringLiteral("anim.gif"), twoFrames());
        dir.write(QStringLiteral("rotto.gif"), brokenMiddle());
        dir.write(QStringLiteral("grande.gif"), large);
        QProcess sh;
        if (!suppressions.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("TSAN_OPTIONS"),
                               QString(sanitizer).replace(suppressions, dir.write(QStringLiteral("tsan.supp"), readFile(suppressions))));
            sh.setProcessEnvironment(environment);
        }
        // What it wrote ends with what is left in out/, hidden names too: "[name name ...]".
        sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("cd \"$0\" && mkdir out; (%1) 2>&1; rc=$?; echo \"[$(LC_ALL=C ls -A out | paste -sd ' ')]\"; exit $rc").arg(QString::fromUtf8(script)), dir.path()});
        ASSERT_TRUE(sh.waitForFinished(120000));
        const QByteArray out = sh.readAll().replace(QByteArray(250, 'x'), "{L}");
        if (sh.exitCode() == 77) // the machine cannot build the script's situation
            continue;
        EXPECT_EQ(sh.exitCode(), code) << out.toStdString();
        for (const char* expected : says)
            EXPECT_TRUE(out.contains(expected)) << expected << "\nin: " << out.toStdString();
        EXPECT_TRUE(out.endsWith(("[" + files + "]\n").c_str())) << "left: " << out.toStdString();
    }
}

// Twelve frames of every disposal, offsets and transparency: each choice of frames writes the
// matching files of a whole export, byte for byte, in every format and composed, with frames
// written ahead and with none (too few descriptors), where the save takes up the work.
TEST(Cli, ChosenFramesAreTheWholeExportsFiles)
{
    GifBuilder builder(7, 6, distinctColours(8));
    for (int i = 0; i < 12; ++i) {
        ImageSpec spec = GifBuilder::pattern(2 + i % 4, 2 + i % 3, 8, i);
        std::tie(spec.left, spec.top, spec.control) = std::tuple(i % 4, i % 3, GraphicControl{1 + i % 3, 5, i % 2 ? 3 : -1});
        builder.image(spec);
    }
    const ScratchDir dir;
    dir.write(QStringLiteral("anim.gif"), builder.build());
    qputenv("X", SKARVEL_FRAMES_EXE);
    const char* const script = R"sh(
        set -e
        for f in bmp gif png 'png --composed' 'bmp --composed'; do
          rm -rf all && mkdir all && $X export --format $f anim.gif all >/dev/null
          for case in 0:0 3-7:34567 10-:AB last:B 2,0,5-6,5,last,11-:0256B 9-last:9AB; do
            for n in 1024 20; do
              rm -rf out && mkdir out && (ulimit -n $n; $X export --format $f --frames ${case%:*} anim.gif out >/dev/null)
              expected=$(echo ${case#*:} | sed 's/./& /g; s/A/10/; s/B/11/')
              for k in $expected; do cmp out/anim$k.${f%% *} all/anim$k.${f%% *}; done
              [ $(ls out | wc -l) = $(echo $expected | wc -w) ] && echo "ok $f ${case%:*} $n"
            done
          done
        done)sh";
    QProcess sh;
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("cd \"$0\" && %1").arg(QLatin1String(script)), dir.path()});
    ASSERT_TRUE(sh.waitForFinished(300000));
    const QByteArray out = sh.readAll() + sh.readAllStandardError();
    EXPECT_EQ(sh.exitCode(), 0) << out.toStdString();
    EXPECT_EQ(out.count("ok "), 5 * 6 * 2) << out.toStdString();
}
