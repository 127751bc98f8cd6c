// The face named in place of a missing face, or of one lacking the text's script, is the face
// Qt's own fallback draws the text with: naming it up front changes nothing on screen.
#include "form_harness.h"
#include "installed_face.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

/// The faces of the glyph runs Qt lays `text` out with in `family`, joined by commas.
std::string FacesQtDrawsWith(const QString &family, const QString &text) {
    QFont font(family);
    font.setPixelSize(16);
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList faces;
    for (const QGlyphRun &run : layout.glyphRuns())
        faces << run.rawFont().familyName();
    faces.removeDuplicates();
    return faces.join(QStringLiteral(", ")).toStdString();
}

TEST(InstalledFace, IsTheFaceQtFallsBackToAndAFaceThatWritesTheTextIsKept) {
    harness::EnsureApplication();
    const QStringList texts{QStringLiteral("درصد پیشرفت : دانلود آخرین نسخه"),
                            QStringLiteral("www.zorvane.example 0%")};
    const QStringList installed = QFontDatabase::families();
    int checked = 0;
    for (const QString &missing : {QStringLiteral("Tahoma"), QStringLiteral("B Yekan")}) {
        if (installed.contains(missing, Qt::CaseInsensitive))
            continue;
        for (const QString &text : texts) {
            const QString face = InstalledFaceFor(missing, text);
            EXPECT_EQ(FacesQtDrawsWith(missing, text), face.toStdString()) << text.toStdString();
            EXPECT_EQ(FacesQtDrawsWith(face, text), face.toStdString()) << face.toStdString();
            ++checked;
        }
    }
    // A Persian face keeps Persian text and gives Latin letters, which it lacks, to the face Qt
    // draws them with.
    const QString persianOnly = QStringLiteral("Noto Sans Arabic");
    if (installed.contains(persianOnly)) {
        EXPECT_EQ(InstalledFaceFor(persianOnly, texts[0]), persianOnly);
        const QString face = InstalledFaceFor(persianOnly, texts[1]);
        EXPECT_THAT(FacesQtDrawsWith(persianOnly, texts[1]),
                    testing::HasSubstr(face.toStdString()));
        EXPECT_EQ(FacesQtDrawsWith(face, texts[1]), face.toStdString());
        EXPECT_EQ(FirstInstalledFamily({QStringLiteral("No Such Face"), persianOnly}), persianOnly);
        ++checked;
    }
    if (checked == 0)
        GTEST_SKIP() << "every face asked for is installed here";
}

} // namespace
