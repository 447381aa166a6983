#include "controls/DateField.h"

#include "controls/CalendarPopup.h"
#include "platform/DateFormat.h"
#include "platform/Localization.h"

#include <QLineEdit>
#include <QLoggingCategory>
#include <QPainter>
#include <QToolButton>

namespace cv {

Q_LOGGING_CATEGORY(lcDateField, "corvane.controls.datefield")

namespace {

// A small month sheet: the button's image, drawn once.
const QIcon &calendarIcon()
{
    static const QIcon icon = [] {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setPen(QColor(90, 90, 90));
        painter.setBrush(Qt::white);
        painter.drawRect(1, 2, 13, 12);
        painter.fillRect(2, 3, 12, 3, QColor(200, 60, 60));
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 4; ++column)
                painter.fillRect(3 + column * 3, 7 + row * 2, 2, 1, QColor(90, 90, 90));
        return QIcon(pixmap);
    }();
    return icon;
}

} // namespace

DateField::DateField(QWidget *parent) : QWidget(parent)
{
    m_textField = new QLineEdit(this);
    m_textField->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhPreferNumbers);
    m_button = new QToolButton(this);
    m_button->setIcon(calendarIcon());
    m_button->setToolTip(localizedString(QStringLiteral("Show Calendar")));
    m_button->setFocusPolicy(Qt::NoFocus);
    connect(m_button, &QToolButton::clicked, this, [this] { pushed(); });
    connect(m_textField, &QLineEdit::editingFinished, this, [this] { Q_EMIT dateChanged(this); });
    connect(m_textField, &QLineEdit::textChanged, this, [this](const QString &text) { Q_EMIT textChanged(text); });
    setFocusProxy(m_textField);
    resize(sizeHint());
    layoutParts();
}

DateField::~DateField()
{
    // A focused text field ends its edit while the field is being destroyed:
    // no signal may then reach a DateField that is one no more.
    m_textField->disconnect(this);
}

QSize DateField::sizeHint() const
{
    const QSize text = m_textField->sizeHint();
    return QSize(text.width() + kButtonWidth + 4, text.height() + 6);
}

void DateField::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

void DateField::layoutParts()
{
    const int w = width();
    const int h = height();
    m_button->setGeometry(w - kButtonWidth, 0, kButtonWidth, h);
    m_textField->setGeometry(0, 3, std::max(0, w - kButtonWidth - 4), std::max(0, h - 6));
}

std::optional<QDate> DateField::date() const
{
    const QString text = m_textField->text();
    if (text.trimmed().isEmpty()) return std::nullopt;
    const std::optional<QDate> parsed = parseProgramDate(text);
    if (!parsed) {
        qCInfo(lcDateField).noquote() << QStringLiteral("invalid date: %1 err: %2").arg(text, programDateFormat());
        return std::nullopt;
    }
    if (std::abs(parsed->year() - QDate::currentDate().year()) > kYearReach) return std::nullopt;
    return parsed;
}

void DateField::setDate(const QDate &date)
{
    m_textField->setText(formatProgramDate(date));
    Q_EMIT dateChanged(this);
}

void DateField::setStringValue(const QString &text)
{
    m_textField->setText(text);
    Q_EMIT dateChanged(this);
}

QString DateField::stringValue() const
{
    return m_textField->text();
}

void DateField::selectText()
{
    m_textField->selectAll();
}

void DateField::pushed()
{
    selectText();
    const QDate date = parseProgramDate(m_textField->text()).value_or(QDate::currentDate());
    CalendarPopup::get()->toggleRelativeToPoint(m_button->mapToGlobal(QPoint(0, 0)), this, date);
}

void DateField::performInputDate(const QDate &date)
{
    setDate(date);
}

} // namespace cv
