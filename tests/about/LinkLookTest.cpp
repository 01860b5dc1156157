#include <gtest/gtest.h>

#include <QString>

#include "about/AboutTooltip.h"
#include "about/LinkColours.h"
#include "about/LinkGeometry.h"

namespace vistrel {
namespace {

struct FitCase {
    const char* name;
    Qt::Alignment alignment;
    QRect rect;
    QSize text;
    QRect fitted;
};

TEST(FitRectToText, KeepsTheEdgeItsAlignmentNames) {
    const QRect label(10, 20, 100, 16);
    const QSize text(41, 13);
    const FitCase cases[] = {
        {"left", Qt::AlignLeft | Qt::AlignTop, label, text, {10, 20, 41, 13}},
        {"centred, odd difference", Qt::AlignHCenter | Qt::AlignTop, label, text, {39, 20, 42, 13}},
        {"right", Qt::AlignRight | Qt::AlignTop, label, text, {69, 20, 41, 13}},
        {"vertically centred",
         Qt::AlignLeft | Qt::AlignVCenter,
         {10, 20, 100, 20},
         text,
         {10, 23, 41, 14}},
        {"both centred", Qt::AlignCenter, {0, 0, 100, 20}, {40, 10}, {30, 5, 40, 10}},
        {"centred text wider than label",
         Qt::AlignHCenter,
         {50, 0, 20, 13},
         {41, 13},
         {40, 0, 40, 13}},
        {"right text wider than label", Qt::AlignRight, {50, 0, 20, 13}, {41, 13}, {29, 0, 41, 13}},
        {"bottom keeps the top", Qt::AlignLeft | Qt::AlignBottom, label, text, {10, 20, 41, 13}},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FitRectToText(c.rect, c.text, c.alignment), c.fitted);
    }
}

TEST(LinkColours, HoverWinsOverVisitedWinsOverLink) {
    const LinkColours colours{.hoverColor = QColor(1, 2, 3)};
    EXPECT_EQ(colours.linkColor, QColor(0, 0, 238));
    EXPECT_EQ(colours.visitedColor, QColor(85, 26, 139));
    struct Case {
        LinkState state;
        QColor colour;
    };
    const Case cases[] = {
        {{.hovering = false, .visited = false}, colours.linkColor},
        {{.hovering = false, .visited = true}, colours.visitedColor},
        {{.hovering = true, .visited = false}, colours.hoverColor},
        {{.hovering = true, .visited = true}, colours.hoverColor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.state.hovering << c.state.visited);
        EXPECT_EQ(colours.For(c.state), c.colour);
    }
}

TEST(AboutTooltipText, TakesAtMost79BytesOfTheCaptionInWholeCharacters) {
    const QString about = QStringLiteral("关于");
    const QString ascii79(79, QChar(u'a'));
    const QString e = QStringLiteral("é");                  // two bytes
    const QString lake = QStringLiteral("湖");              // three bytes
    const QString gull = QString::fromUcs4(U"\U0001F54A");  // four bytes, a surrogate pair
    struct Case {
        const char* name;
        QString caption;
        QString kept;
    };
    const Case cases[] = {
        {"short", "Vistrel", "Vistrel"},
        {"empty", "", ""},
        {"exactly 79", ascii79, ascii79},
        {"80", ascii79 + "b", ascii79},
        {"two-byte character across the limit", ascii79.left(78) + e, ascii79.left(78)},
        {"two-byte character at the limit", ascii79.left(77) + e + "x", ascii79.left(77) + e},
        {"three-byte characters", QString(30, lake[0]), QString(26, lake[0])},
        {"four-byte character across the limit", ascii79.left(77) + gull, ascii79.left(77)},
        {"four-byte character at the limit", ascii79.left(75) + gull + "x",
         ascii79.left(75) + gull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString tooltip = AboutTooltipText(c.caption);
        EXPECT_EQ(tooltip, about + c.kept) << tooltip.toStdString();
        EXPECT_LE(tooltip.toUtf8().size(), 6 + 79);
    }
}

}  // namespace
}  // namespace vistrel
