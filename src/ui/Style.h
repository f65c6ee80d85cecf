#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QString>

namespace Orvoinstaller::Style {

// Text styles by role, derived from the application's default font.
enum class TextRole { body, headline, subheadline, caption, footnote };
QFont font(TextRole role);

// Whether the window is drawn dark: the system's appearance where the Qt in use reports it,
// else the lightness of the application palette's window colour.
bool isDark();

// The platform's named colours, each in its variant for the current appearance.
QColor systemBlue();
QColor systemGray();
QColor warning(); // orange, for what could not be or was not installed
QColor white();
// A disabled button's text: plainly fainter than an enabled one's, still readable on the
// button in either appearance.
QColor disabledButtonText();
// Thin lines: the panel's outline and the divider; `opacity` is the light appearance's.
QColor separator(qreal opacity);
// Secondary label colour: the palette's placeholder-text role.
QColor secondaryLabel(const QPalette& palette);
QColor windowBackground(const QPalette& palette);

// Colours that follow the appearance, resolved each time something is drawn.
enum class Tint { accent, buttonText, secondary };
QColor color(Tint tint);

// One of the bundled icons, named by its SF Symbols name, drawn in `color` at whatever size
// it is shown. The disabled mode is a faded copy.
QIcon icon(const QString& name, const QColor& color);
// The same in a colour that follows the appearance.
QIcon icon(const QString& name, Tint tint);

// Padding the toolkit uses by default around a stack.
int defaultPadding();

} // namespace Orvoinstaller::Style
