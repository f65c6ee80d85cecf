#include "ui/FolderList.h"

#include "install/TemplateInstaller.h"
#include "ui/FolderPicker.h"
#include "ui/Previews.h"
#include "ui/Style.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace Orvoinstaller {

namespace {

constexpr int kindColumnWidth = 60;
constexpr int pickerColumnWidth = 100;
constexpr int listHeight = 150;
constexpr int panelRadius = 8;
// Side inset of the rows inside the list, so they line up with the header captions.
constexpr int rowInset = 12;

QLabel* caption(Qt::Alignment alignment, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFont(Style::font(Style::TextRole::caption));
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

// The filter field, inset like the rows.
QWidget* padded(QWidget* field) {
    auto* cell = new QWidget(field->parentWidget());
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(rowInset, 8, rowInset, 4);
    field->setParent(cell);
    layout->addWidget(field);
    cell->hide();
    return cell;
}

} // namespace

FolderRow::FolderRow(std::shared_ptr<FolderChooser> chooser, const QString& homeDirectory,
                     QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(8);

    // Its place is kept when there is no picture, so the columns stay aligned.
    m_preview = new QLabel(this);
    m_preview->setFixedSize(Previews::box());
    m_preview->setAlignment(Qt::AlignCenter);
    QSizePolicy keep = m_preview->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_preview->setSizePolicy(keep);
    m_preview->hide();
    layout->addWidget(m_preview);

    m_kind = new QLabel(this);
    m_kind->setFont(Style::font(Style::TextRole::subheadline));
    m_kind->setFixedWidth(kindColumnWidth);
    m_kind->setWordWrap(true);
    m_kind->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(m_kind);

    m_name = new QLineEdit(this);
    m_name->setPlaceholderText(tr("在FCPX中的显示名称"));
    m_name->setClearButtonEnabled(false);
    // Inside the field, where the eye already is while typing; the field keeps its text
    // clear of it.
    m_indicator = m_name->addAction(QIcon(), QLineEdit::TrailingPosition);
    layout->addWidget(m_name, 1);
    // Every change but the row's own showing of the model: typing, undo, and a value set
    // through the accessibility interface (as voice control does), which edits nothing.
    connect(m_name, &QLineEdit::textChanged, this,
            [this](const QString& text) { Q_EMIT nameEdited(m_id, text); });

    auto* cell = new QWidget(this);
    cell->setFixedWidth(pickerColumnWidth);
    auto* cellLayout = new QHBoxLayout(cell);
    cellLayout->setContentsMargins(0, 0, 0, 0);
    m_picker = new FolderPicker(FolderType::titles, std::move(chooser), homeDirectory, cell);
    cellLayout->addWidget(m_picker, 0, Qt::AlignCenter);
    layout->addWidget(cell);
}

int FolderRow::preferredHeight() {
    const QLineEdit probe;
    const QFontMetrics kind(Style::font(Style::TextRole::subheadline));
    // The kind label may wrap onto two lines ("发生器" above "Generators").
    return std::max(probe.sizeHint().height(), 2 * kind.lineSpacing()) + 4;
}

void FolderRow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        m_name->setPlaceholderText(tr("在FCPX中的显示名称"));
        m_preview->setAccessibleName(tr("预览"));
        showKind();
        if (m_mark)
            showMark(*m_mark);
    }
}

void FolderRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showWholeName();
}

// A name longer than the field shows its beginning, and the whole of it as the tooltip.
void FolderRow::showWholeName() {
    const int room = m_name->width() - m_name->height() - 8; // the indicator and the margins
    const bool elided = m_name->fontMetrics().horizontalAdvance(m_name->text()) > room;
    const QString tip = elided ? m_name->text() : QString();
    if (m_name->toolTip() != tip)
        m_name->setToolTip(tip);
    if (elided && !m_name->hasFocus())
        m_name->setCursorPosition(0);
}

void FolderRow::setPreview(const QPixmap& picture) {
    if (picture.isNull()) {
        m_preview->hide();
        return;
    }
    if (m_preview->pixmap().cacheKey() != picture.cacheKey())
        m_preview->setPixmap(picture);
    m_preview->setAccessibleName(tr("预览"));
    m_preview->show();
}

void FolderRow::showKind() {
    const QString label = Orvoinstaller::kindLabel(m_picker->folderType());
    m_kind->setText(label);
    m_name->setAccessibleName(m_name->placeholderText() + QLatin1Char(' ') + label);
}

void FolderRow::showMark(const Mark& mark) {
    m_mark = mark;
    const bool merge = mark.state == DestinationState::merge;
    const QString help = mark.warning ? mark.warning->text.translated()
                         : merge      ? tr("将合并到已有文件夹")
                                      : tr("将新建文件夹");
    m_indicator->setIcon(
        mark.warning ? Style::icon(QStringLiteral("exclamationmark.triangle"), Style::warning())
        : merge      ? Style::icon(QStringLiteral("arrow.triangle.merge"), Style::Tint::accent)
                     : Style::icon(QStringLiteral("plus.circle"), Style::Tint::secondary));
    m_indicator->setToolTip(help);
    // Read after the field's name, which stays as it was.
    m_name->setAccessibleDescription(help);
}

void FolderRow::bind(const FolderItem& item, const InstalledFolders& installed,
                     const Error* failure) {
    if (item.id != m_id || m_picker->folderType() != item.type || m_kind->text().isEmpty()) {
        m_id = item.id;
        m_path = item.path;
        m_picker->setFolderType(item.type);
        showKind();
        const QUuid id = m_id;
        m_picker->selectedName = [this, id](const QString& name) { Q_EMIT nameEdited(id, name); };
    }
    if (m_name->text() != item.newName) {
        const QSignalBlocker showingOnly(m_name);
        m_name->setText(item.newName);
    }
    showWholeName();
    Mark mark;
    if (Failure invalid = checkFolderName(item.newName))
        mark.warning = std::move(invalid);
    else if (failure)
        mark.warning = *failure;
    else
        mark.state = destinationState(installed, item.type, item.newName);
    const auto reason = [](const Mark& m) {
        return m.warning ? m.warning->text.source() : QString();
    };
    if (!m_mark || m_mark->state != mark.state || reason(*m_mark) != reason(mark))
        showMark(mark);
}

FolderListView::FolderListView(std::shared_ptr<FolderChooser> chooser, QString homeDirectory,
                               std::shared_ptr<const FileReader> fileSystem,
                               std::shared_ptr<Worker> worker, QWidget* parent)
    : QAbstractScrollArea(parent), m_chooser(std::move(chooser)),
      m_homeDirectory(std::move(homeDirectory)),
      m_previews(new Previews(std::move(fileSystem), std::move(worker), this)),
      m_rowHeight(FolderRow::preferredHeight()) {
    connect(m_previews, &Previews::loaded, this, [this](const QString& folder) {
        for (FolderRow* row : std::as_const(m_bound))
            if (row->folderPath() == folder)
                row->setPreview(m_previews->preview(folder));
    });
    setFrameShape(QFrame::NoFrame);
    // One stop in the focus chain, where the rows are on screen; it hands the focus on to
    // them (focusInEvent), and they join the chain right after it.
    setFocusPolicy(Qt::TabFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(m_rowHeight);
}

void FolderListView::setItems(const QList<FolderItem>& items, const InstalledFolders& installed,
                              const QHash<QUuid, Error>& failures) {
    m_items = &items;
    m_installed = &installed;
    m_failures = &failures;
    applyFilter();
}

void FolderListView::bindRow(FolderRow* row, const FolderItem& item) const {
    const auto failure = m_failures->constFind(item.id);
    row->bind(item, *m_installed, failure == m_failures->cend() ? nullptr : &*failure);
    row->setPreview(item.path.isEmpty() ? QPixmap() : m_previews->preview(item.path));
}

void FolderListView::itemChanged(int index) {
    const FolderItem& item = items()[index];
    if (FolderRow* row = m_bound.value(item.id))
        bindRow(row, item);
}

void FolderListView::setFilter(const QString& text) {
    if (text == m_filter)
        return;
    m_filter = text;
    applyFilter();
}

// A row edited out of the filter's match stays until the filter or the list changes.
void FolderListView::applyFilter() {
    m_shown.clear();
    for (qsizetype i = 0; i < items().size(); ++i) {
        const FolderItem& item = items()[i];
        if (m_filter.isEmpty() || item.newName.contains(m_filter, Qt::CaseInsensitive) ||
            item.originalName.contains(m_filter, Qt::CaseInsensitive))
            m_shown.push_back(static_cast<int>(i));
    }
    layoutRows();
}

QList<FolderRow*> FolderListView::boundRows() const {
    return m_bound.values();
}

FolderRow* FolderListView::takeRow() {
    if (!m_spare.empty()) {
        FolderRow* row = m_spare.back();
        m_spare.pop_back();
        return row;
    }
    auto* row = new FolderRow(m_chooser, m_homeDirectory, viewport());
    QWidget::setTabOrder(m_lastMade ? static_cast<QWidget*>(m_lastMade->picker()) : this,
                         row->nameField());
    QWidget::setTabOrder(row->nameField(), row->picker());
    m_lastMade = row;
    connect(row, &FolderRow::nameEdited, this, &FolderListView::nameEdited);
    row->nameField()->installEventFilter(this);
    row->picker()->installEventFilter(this);
    return row;
}

FolderRow* FolderListView::rowOf(QWidget* widget) const {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* row = qobject_cast<FolderRow*>(w))
            return row->parentWidget() == viewport() ? row : nullptr;
    }
    return nullptr;
}

int FolderListView::positionOf(const QUuid& id) const {
    for (size_t i = 0; i < m_shown.size(); ++i) {
        if (items()[m_shown[i]].id == id)
            return static_cast<int>(i);
    }
    return -1;
}

void FolderListView::layoutRows() {
    // The items were replaced and the new list is not told yet: show none of the old.
    if (!m_shown.empty() && m_shown.back() >= items().size())
        m_shown.clear();
    const int count = shownCount();
    const int viewHeight = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, count * m_rowHeight - viewHeight));
    bar->setPageStep(viewHeight);
    const int offset = bar->value();
    const int first = offset / m_rowHeight;
    const int last = std::min(count - 1, (offset + viewHeight - 1) / m_rowHeight);
    const int rowWidth = viewport()->width() - 2 * rowInset;

    QHash<QUuid, FolderRow*> previous = std::move(m_bound);
    m_bound.clear();
    auto place = [&](int position, FolderRow* row) {
        const FolderItem& item = items()[m_shown[position]];
        bindRow(row, item);
        const QRect geometry(rowInset, position * m_rowHeight - offset, rowWidth, m_rowHeight);
        if (row->geometry() != geometry)
            row->setGeometry(geometry);
        if (row->isHidden())
            row->show();
        m_bound.insert(item.id, row);
    };

    std::vector<int> missing;
    for (int i = first; i <= last; ++i) {
        if (FolderRow* row = previous.take(items()[m_shown[i]].id))
            place(i, row);
        else
            missing.push_back(i);
    }
    // The row being typed in keeps its widget (and so its focus and cursor) out of sight.
    if (FolderRow* focused = rowOf(QApplication::focusWidget())) {
        if (previous.contains(focused->itemId())) {
            const int index = positionOf(focused->itemId());
            if (index >= 0) {
                previous.remove(focused->itemId());
                place(index, focused);
            }
        }
    }
    for (FolderRow* row : std::as_const(previous))
        m_spare.push_back(row);
    for (int index : missing)
        place(index, takeRow());
    for (FolderRow* row : m_spare) {
        if (!row->isHidden())
            row->hide();
    }
}

FolderRow* FolderListView::revealRow(int index) {
    const auto shown = std::find(m_shown.cbegin(), m_shown.cend(), index);
    return shown == m_shown.cend() ? nullptr
                                   : revealPosition(static_cast<int>(shown - m_shown.cbegin()));
}

FolderRow* FolderListView::revealPosition(int index) {
    if (index < 0 || index >= shownCount())
        return nullptr;
    QScrollBar* bar = verticalScrollBar();
    const int top = index * m_rowHeight;
    const int viewHeight = viewport()->height();
    if (top < bar->value())
        bar->setValue(top);
    else if (top + m_rowHeight > bar->value() + viewHeight)
        bar->setValue(top + m_rowHeight - viewHeight);
    layoutRows();
    return m_bound.value(items()[m_shown[index]].id);
}

void FolderListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layoutRows();
}

void FolderListView::scrollContentsBy(int, int) {
    layoutRows();
}

void FolderListView::focusInEvent(QFocusEvent* event) {
    const bool back = event->reason() == Qt::BacktabFocusReason;
    if (FolderRow* row = revealPosition(back ? shownCount() - 1 : 0)) {
        m_movingFocus = true;
        (back ? static_cast<QWidget*>(row->picker()) : row->nameField())->setFocus(event->reason());
        m_movingFocus = false;
    }
}

bool FolderListView::focusNextPrevChild(bool next) {
    QWidget* focus = QApplication::focusWidget();
    FolderRow* row = rowOf(focus);
    if (!row)
        return QAbstractScrollArea::focusNextPrevChild(next);
    const int index = positionOf(row->itemId());
    const bool inField = focus == row->nameField();
    QWidget* target = nullptr;
    m_movingFocus = true;
    // Field, then picker, row after row, whichever rows are in sight.
    if (next) {
        if (inField)
            target = row->picker();
        else if (FolderRow* following = revealPosition(index + 1))
            target = following->nameField();
    } else {
        if (!inField)
            target = row->nameField();
        else if (FolderRow* preceding = revealPosition(index - 1))
            target = preceding->picker();
    }
    if (target)
        target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    m_movingFocus = false;
    return target ? true : leaveList(next);
}

bool FolderListView::leaveList(bool next) {
    QWidget* candidate = this;
    for (;;) {
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (!candidate || candidate == this)
            return false;
        if (isAncestorOf(candidate))
            continue;
        if ((candidate->focusPolicy() & Qt::TabFocus) && candidate->isVisible() &&
            candidate->isEnabled() && candidate->window() == window()) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
}

bool FolderListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && !m_movingFocus && !m_shown.empty()) {
        // Tabbing in from outside enters at the first row, backtabbing at the last.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
            m_movingFocus = true;
            const bool forward = reason == Qt::TabFocusReason;
            FolderRow* row = revealPosition(forward ? 0 : shownCount() - 1);
            QWidget* target = forward ? static_cast<QWidget*>(row->nameField())
                                      : static_cast<QWidget*>(row->picker());
            if (target != watched)
                target->setFocus(reason);
            m_movingFocus = false;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

FolderListPanel::FolderListPanel(std::shared_ptr<FolderChooser> chooser, QString homeDirectory,
                                 std::shared_ptr<const FileReader> fileSystem,
                                 std::shared_ptr<Worker> worker, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    // One point all round for the outline.
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);

    // Over a long list only; narrows it down as it is typed in.
    m_filter = new QLineEdit(this);
    m_filter->setClearButtonEnabled(true);
    m_filter->hide();
    layout->addWidget(padded(m_filter), 0);

    auto* header = new QWidget(this);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(12, 0, 12, 4);
    headerLayout->addSpacing(Previews::box().width() + 8); // over the previews
    m_kindCaption = caption(Qt::AlignLeft, header);
    m_kindCaption->setFixedWidth(kindColumnWidth);
    headerLayout->addWidget(m_kindCaption);
    m_nameCaption = caption(Qt::AlignLeft, header);
    headerLayout->addWidget(m_nameCaption, 1);
    m_mergeCaption = caption(Qt::AlignHCenter, header);
    m_mergeCaption->setFixedWidth(pickerColumnWidth);
    headerLayout->addWidget(m_mergeCaption);
    retranslate();
    layout->addWidget(header);

    m_list = new FolderListView(std::move(chooser), std::move(homeDirectory), std::move(fileSystem),
                                std::move(worker), this);
    // However tall the window, the list scrolls within these 150 points.
    m_list->setFixedHeight(listHeight);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(m_list);
    connect(m_list, &FolderListView::nameEdited, this, &FolderListPanel::nameEdited);
    connect(m_filter, &QLineEdit::textChanged, m_list, &FolderListView::setFilter);
}

void FolderListPanel::setShowsFilter(bool shown) {
    m_filter->parentWidget()->setVisible(shown);
    m_filter->setVisible(shown);
    if (!shown)
        m_filter->clear();
}

void FolderListPanel::retranslate() {
    m_filter->setPlaceholderText(tr("筛选模板"));
    m_filter->setAccessibleName(tr("筛选模板"));
    m_kindCaption->setText(tr("插件类型"));
    m_nameCaption->setText(tr("修改在FCPX中显示名称"));
    m_mergeCaption->setText(tr("或者合并到现有目录"));
}

void FolderListPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void FolderListPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(area, panelRadius, panelRadius);
    painter.fillPath(shape, Style::windowBackground(palette()));
    QPen pen(Style::separator(0.2), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter.strokePath(shape, pen);
}

} // namespace Orvoinstaller
