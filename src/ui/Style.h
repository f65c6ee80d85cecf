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

QColor systemBlue();
QColor systemGray();
QColor white();
// Secondary label colour: the palette's placeholder-text role.
QColor secondaryLabel(const QPalette& palette);
QColor windowBackground(const QPalette& palette);

// One of the bundled icons, named by its SF Symbols name, drawn in `color` at whatever size
// it is shown. The disabled mode is a faded copy.
QIcon icon(const QString& name, const QColor& color);

// Padding the toolkit uses by default around a stack.
int defaultPadding();

} // namespace Orvoinstaller::Style
