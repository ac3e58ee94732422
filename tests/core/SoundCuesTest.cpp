#include "core/SoundCues.h"

#include "platform/fake/FakeSound.h"
#include "support/TempDataDir.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

class SoundCuesTest : public ::testing::Test {
protected:
    SoundCuesTest()
    {
        Loc.SoundsDir = Dir.Path() + QStringLiteral("Sounds/");
        Loc.MediaDir = Dir.Path() + QStringLiteral("media/");
        Loc.DataDir = Dir.Path() + QStringLiteral("data/");
        Dir.Write(QStringLiteral("Sounds/bell.wav"), "RIFF");
        Dir.Write(QStringLiteral("media/gong.wav"), "RIFF");
        Dir.Write(QStringLiteral("data/own.wav"), "RIFF");
    }
    QString Rel(const QString& path) const
    {
        return path.startsWith(Dir.Path()) ? path.mid(Dir.Path().size()) : path;
    }

    test::TempDataDir Dir;
    TDataLocations Loc;
    TSettings Settings;
    FakeSound Sound;
};

TEST_F(SoundCuesTest, ResolvesCuesThroughTheSoundSettings)
{
    struct TCase {
        const char* Cue;
        QString TSettings::*Setting; // set to Value before resolving, when not null
        const char* Value;
        const char* Expected; // relative to the test folder, a resource, or "" for silence
    };
    const TCase cases[] = {
        { "LTING", nullptr, "", ":/sounds/LTING.wav" },
        { "UP", nullptr, "", ":/sounds/CLICK.wav" }, // BtnUp defaults to the click
        { "SLOUT", nullptr, "", ":/sounds/GLICK.wav" },
        { "SLDIN", &TSettings::SlideIn, "CLICK", ":/sounds/CLICK.wav" },
        { "CLICK", &TSettings::BtnDown, "<NONE>", "" }, // a name that matches nothing silences
        { "CLICK", &TSettings::BtnDown, "", ":/sounds/CLICK.wav" }, // empty keeps the cue itself
        { "GLICK", &TSettings::DragIcon, "bell.wav", "Sounds/bell.wav" },
        { "LTING", &TSettings::Chevron, "/elsewhere/gong.wav", "media/gong.wav" }, // by file name
        { "LTING", &TSettings::Chevron, "own.wav", "data/own.wav" },
        { "LTING", &TSettings::Chevron, "missing.wav", "" },
        { "@CLICK", &TSettings::BtnDown, "bell.wav", ":/sounds/CLICK.wav" }, // "@" forces built-in
        { "@SLOUT", nullptr, "", "" }, // no built-in sound of that name
        { "bell.wav", nullptr, "", "Sounds/bell.wav" },
        { "", nullptr, "", "" },
    };
    for (const TCase& c : cases) {
        TSettings settings;
        if (c.Setting)
            settings.*c.Setting = QString::fromUtf8(c.Value);
        TSoundCues cues(Sound, settings, Loc);
        EXPECT_EQ(Rel(cues.Resolve(QString::fromUtf8(c.Cue))), QString::fromUtf8(c.Expected))
            << c.Cue << " with " << c.Value;
    }
}

TEST_F(SoundCuesTest, DoClickPlaysOnlyWhenSoundIsOn)
{
    TSoundCues cues(Sound, Settings, Loc);
    cues.DoClick(QStringLiteral("CLICK"));
    cues.DoClick(QStringLiteral("missing.wav"));
    Settings.SoundOn = false;
    cues.DoClick(QStringLiteral("@LTING"));
    EXPECT_EQ(Sound.Played, QStringList { QStringLiteral(":/sounds/CLICK.wav") });
}

} // namespace
} // namespace qb
