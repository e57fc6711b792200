#include "module-misc_amulet/alerts.h"

#include <malloc.h>
#include <pthread.h>
#include <sys/mman.h>

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QThreadPool>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

#include "module-misc_amulet/window_parts.h"

namespace {

// A failure that a handler of the toolkit let out while an alert waited,
// kept until that wait has ended.
std::exception_ptr toolkit_failure;
int waits_open = 0;

// Open while a wait runs, however the wait ends.
class open_wait {
public:
    open_wait() { ++waits_open; }
    ~open_wait() { --waits_open; }
    open_wait(const open_wait&) = delete;
    open_wait& operator=(const open_wait&) = delete;
};

// Runs the wait of an alert or question; a failure that a handler of the
// toolkit let out meanwhile has ended it, and is thrown here. A wait that
// fails itself (its dialog could not be built) passes its own failure on and
// leaves none behind for a later wait.
template <class Wait>
auto waiting(Wait&& wait)
{
    auto result = [&] {
        const open_wait open;
        try {
            return wait();
        } catch (...) {
            toolkit_failure = nullptr;
            throw;
        }
    }();
    if (toolkit_failure) std::rethrow_exception(std::exchange(toolkit_failure, nullptr));
    return result;
}

// A question or pop-up the toolkit has no room to draw fails as memory that
// has run out, which the failure guard of the work that asked reports.
void need_room(const alert_room& room)
{
    if (!room) ZEM_FAIL("out of memory");
}

// What a dialog shows of a text: at most this many bytes and lines of its
// head, so that laying it out never needs more room than the reserve gives;
// a pop-up's button shows less of its label.
constexpr std::size_t shown_bytes = 2000;
constexpr int shown_lines = 40;
constexpr std::size_t shown_label_bytes = 200;

// The stack of each thread the program or the toolkit starts.
constexpr std::size_t thread_stack_size = std::size_t(1) << 20;

bool continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xc0) == 0x80; }

// The head of `text`: at most `bytes` bytes and `most_lines` lines, cut
// between two characters a reader sees, never between a letter and its
// accent; sets `cut` where that is not the whole text.
QString head_of(std::string_view text, std::size_t bytes, int most_lines, bool& cut)
{
    std::size_t end = 0;
    for (int lines = 0; end < text.size() && end < bytes; ++end)
        if (text[end] == '\n' && ++lines == most_lines) break;
    // A line break alone is no rest worth cutting.
    if (end + 1 == text.size() && text[end] == '\n') ++end;
    cut = end < text.size();
    if (!cut) return QString::fromUtf8(text.data(), qsizetype(text.size()));
    while (end > 0 && continuation_byte(text[end])) --end;
    // The character after the cut tells whether it belongs to the one before.
    std::size_t after = end + 1;
    while (after < text.size() && continuation_byte(text[after])) ++after;
    QString head = QString::fromUtf8(text.data(), qsizetype(end));
    const qsizetype at = head.size();
    head += QString::fromUtf8(text.data() + end, qsizetype(after - end));
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, head);
    finder.setPosition(at);
    head.truncate(finder.isAtBoundary() ? at : std::max<qsizetype>(finder.toPreviousBoundary(), 0));
    return head;
}

// The lines a label `width` pixels wide shows of `text`: its own, each broken
// where it is wider, between words where it can and anywhere in a word wider
// still; no more than `most` of them.
QStringList broken_lines(const QString& text, const QFont& font, int width, qsizetype most)
{
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : text.split(u'\n')) {
        if (lines.size() >= most) break;
        if (paragraph.isEmpty()) {
            lines.append(paragraph);
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid() && lines.size() < most; line = layout.createLine()) {
            line.setLineWidth(width);
            lines.append(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    return lines;
}

QRect available_screen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

// What a window leaves at the screen's edges for the frame that the window
// manager adds around it: borders across, a title bar and border down.
constexpr QSize frame_room(10, 60);

// Gives `box` what it can show of `text` within the screen: the head, broken
// into lines no wider than the width the dialog takes for a text it need not
// wrap, and as many of them as the screen's height holds beside the button and
// the frame; a cut text ends in a line "...". Whether the whole text is shown.
bool fit_alert(QMessageBox& box, std::string_view text)
{
    bool cut = false;
    const QString head = head_of(text, shown_bytes, shown_lines, cut);
    const QRect screen = available_screen();
    const int widest = std::min(screen.width() / 2, 500);
    // Measured in the fonts it is shown in.
    box.ensurePolished();
    auto* label = box.findChild<QLabel*>("qt_msgbox_label");
    QLayout* layout = box.layout();
    if (!label || !layout) {
        box.setText(head + (cut ? QStringLiteral("\n...") : QString()));
        return !cut;
    }
    // What the dialog adds to its text's width, measured on a text wider than its button.
    box.setText(QString(40, u'n'));
    layout->activate();
    const int beside = layout->totalMinimumSize().width() - label->minimumSizeHint().width();

    // A line break that ends the text shows no line of its own.
    const bool last_break = head.endsWith(u'\n');
    QStringList lines;
    const auto shown = [&](qsizetype n) {
        QString text = lines.mid(0, n).join(u'\n');
        if (cut || n < lines.size())
            text += QStringLiteral("\n...");
        else if (last_break)
            text += u'\n';
        return text;
    };
    const auto fits = [&](qsizetype n) {
        box.setText(shown(n));
        layout->activate();
        return layout->totalMinimumSize().height() <= screen.height() - frame_room.height();
    };
    const int width = std::max(widest - beside, 100);
    lines = broken_lines(last_break ? head.chopped(1) : head, label->font(), width, shown_lines + 1);
    qsizetype most = std::min<qsizetype>(lines.size(), shown_lines);
    if (!fits(most)) {
        // The most lines that fit, and one at least.
        qsizetype low = 1, high = most - 1;
        while (low < high) {
            const qsizetype middle = (low + high + 1) / 2;
            if (fits(middle))
                low = middle;
            else
                high = middle - 1;
        }
        most = low;
    }
    box.setText(shown(most));
    return !cut && most == lines.size();
}

QString shown_label(std::string_view label)
{
    bool cut = false;
    const QString head = head_of(label, shown_label_bytes, 1, cut);
    // A cut label goes on in its line.
    return cut ? head + QStringLiteral("...") : head;
}

}

void qt_alert_seam::show_alert(const std::string& text)
{
    // Drawn without room, the toolkit crashes in its font loading; `message`
    // writes the text to the error stream instead.
    const alert_room room;
    if (!room) throw std::bad_alloc();
    // The dialog shows what fits of the text; where that is not all of it, the
    // whole text is written, once: where the dialog then finds no room, the
    // text has reached the user.
    bool written = false;
    try {
        QMessageBox box;
        box.setTextFormat(Qt::PlainText);
        box.setStandardButtons(QMessageBox::Ok);
        if (!fit_alert(box, text)) {
            write_to_error_stream(text.c_str());
            written = true;
        }
        const cursor_shown answering(Qt::ArrowCursor, true);
        waiting([&] { return box.exec(); });
    } catch (const std::bad_alloc&) {
        if (!written) throw;
    }
}

namespace {

// Where questions and pop-ups stand.
constexpr QPoint popup_place(300, 200);

// A gray question at its place that fits its contents: one row, spaced and
// framed by 10.
QHBoxLayout* gray_row(QDialog& dialog, const std::string& title)
{
    dialog.setWindowTitle(QString::fromStdString(title));
    set_fill(&dialog, motif_gray);
    dialog.move(popup_place);
    auto* row = new QHBoxLayout(&dialog);
    row->setSpacing(10);
    row->setContentsMargins(10, 10, 10, 10);
    row->setSizeConstraint(QLayout::SetFixedSize);
    return row;
}

struct lent_methods {
    std::vector<question_method> methods;
    const char* window_key;
};
std::optional<lent_methods> lent;

}

question_methods::question_methods(std::vector<question_method> methods, const char* window_key)
{
    lent = lent_methods{std::move(methods), window_key};
}

question_methods::~question_methods() { lent.reset(); }

// Accepted codes start at 1, so the frame's close (0) stays apart.
void finish_pop_up_waiting(QObject* question, int answer)
{
    if (auto* dialog = qobject_cast<QDialog*>(question)) dialog->done(answer + 1);
}

int qt_alert_seam::ask_choice(const std::string& title, const std::vector<std::string>& buttons)
{
    // Taken at once, so that a question asked inside this one answers by itself.
    const std::optional<lent_methods> own = std::exchange(lent, std::nullopt);
    const alert_room room;
    need_room(room);
    QDialog dialog;
    QHBoxLayout* row = gray_row(dialog, title);
    for (std::size_t k = 0; k < buttons.size(); ++k) {
        auto* button = new QPushButton(QString::fromStdString(buttons[k]));
        button->setFixedWidth(150);
        button->setAutoDefault(false);
        if (own && k < own->methods.size()) {
            set_partner(button, own->window_key, &dialog);
            QObject::connect(button, &QPushButton::clicked, &dialog,
                             [button, method = own->methods[k]] { method(button); });
        } else {
            QObject::connect(button, &QPushButton::clicked, &dialog,
                             [&dialog, k] { finish_pop_up_waiting(&dialog, int(k)); });
        }
        row->addWidget(button);
    }
    const cursor_shown answering(Qt::ArrowCursor, true);
    return waiting([&] { return dialog.exec(); }) - 1;
}

namespace {

// The room a pop-up's entries need beyond the reserve: what the toolkit takes
// for a button and for each byte of its label, measured with a few thousand
// entries, and doubled.
constexpr std::size_t entry_room = std::size_t(8) << 10;
constexpr std::size_t label_byte_room = 16;

std::size_t selection_room(const std::vector<std::string>& entries)
{
    std::size_t room = 0;
    for (const std::string& entry : entries)
        room += entry_room + label_byte_room * std::min(entry.size(), shown_label_bytes);
    return room;
}

// Address space held back while a pop-up is built and given back before it is
// taken down: where the toolkit runs out all the same, the destructors of its
// widgets, which allocate too, still find room.
class spare_room {
public:
    spare_room() noexcept
        : block_(::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))
    {
    }
    ~spare_room() { give_back(); }
    spare_room(const spare_room&) = delete;
    spare_room& operator=(const spare_room&) = delete;

    void give_back() noexcept
    {
        if (block_ != MAP_FAILED) ::munmap(std::exchange(block_, MAP_FAILED), size);
    }

    static constexpr std::size_t size = std::size_t(2) << 20;

private:
    void* block_;
};

// The width a pop-up's panel may take: the screen right of the pop-up's
// place, less what stands `beside` the panel in its row and a scroll bar.
int panel_width(int beside)
{
    const int right = available_screen().right() + 1;
    const int bar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return std::max(right - popup_place.x() - frame_room.width() - beside - bar, 100);
}

// Cuts labels wider than `room` pixels until they fit, ending them with "...",
// between two characters a reader sees: the pop-up stays within the screen,
// and every label shows its start.
class label_cutter {
public:
    label_cutter(const QFontMetrics& metrics, int room) : metrics_(metrics), room_(room) {}

    QString fitted(const QString& label) const
    {
        // The toolkit's own cut, which ends in its ellipsis, often one
        // character narrower than three dots.
        const QString elided = metrics_.elidedText(label, Qt::ElideRight, room_);
        if (elided == label) return label;
        QString head = elided;
        if (head.endsWith(u'\u2026'))
            head.chop(1);
        else if (head.endsWith(dots))
            head.chop(dots.size());
        if (head.endsWith(u'\u200d')) head.chop(1);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, head);
        finder.toEnd();
        while (!head.isEmpty() && metrics_.horizontalAdvance(head + dots) > room_)
            head.truncate(std::max<qsizetype>(finder.toPreviousBoundary(), 0));
        return head + dots;
    }

private:
    inline static const QString dots = QStringLiteral("...");
    QFontMetrics metrics_;
    int room_;
};

// A panel taller than two thirds of the screen, or than the screen below the
// pop-up's place less what stands `around` the panel, scrolls, so that every
// entry can be reached and the window, with the image the toolkit keeps of
// it, stays within the screen.
QWidget* within_screen(QWidget* panel, int around)
{
    const QRect screen = available_screen();
    const int height = std::max(
        std::min(screen.height() * 2 / 3, screen.bottom() + 1 - popup_place.y() - around - frame_room.height()), 100);
    const QSize wanted = panel->sizeHint();
    if (wanted.height() <= height) return panel;
    auto* area = new QScrollArea;
    set_fill(area, motif_gray);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area->setWidgetResizable(true);
    area->setWidget(panel);
    area->setFixedSize(wanted.width() + area->verticalScrollBar()->sizeHint().width(), height);
    return area;
}

// The room a window of `size` needs to be painted: its image, on X11 the copy
// the display server is sent, and the stack of the thread that paints with the
// window's, which the toolkit starts at its first large fill.
std::size_t painting_room(QSize size)
{
    return std::size_t(size.width()) * std::size_t(size.height()) * 4 * 2 + thread_stack_size;
}

}

int qt_alert_seam::ask_selection(const std::string& title, const std::vector<std::string>& entries,
                                 const std::function<bool(int)>& pressed)
{
    const alert_room room(selection_room(entries) + spare_room::size);
    need_room(room);
    spare_room spare;
    QDialog dialog;
    // Destroyed before the dialog, also while a failure unwinds.
    const auto spare_given_back = qScopeGuard([&] { spare.give_back(); });
    QHBoxLayout* row = gray_row(dialog, title);

    auto* panel = new QWidget;
    set_fill(panel, motif_gray);
    auto* column = new QVBoxLayout(panel);
    column->setSpacing(10);
    column->setContentsMargins(0, 0, 0, 0);
    int chosen = -1;
    // A press runs inside the dialog's event loop, which no failure may cross:
    // it closes the dialog and is thrown again once the loop has ended.
    std::exception_ptr failure;
    QPushButton* cancel = gray_button("cancel");
    const QMargins margins = row->contentsMargins();
    const int widest = panel_width(margins.left() + row->spacing() + cancel->sizeHint().width() + margins.right());
    // What a button adds to its label's width, measured on a label wider than a button's least width.
    const QString sample(40, u'n');
    const std::unique_ptr<QPushButton> measured(gray_button(sample));
    const QFontMetrics metrics = measured->fontMetrics();
    const label_cutter cutter(metrics, widest - (measured->sizeHint().width() - metrics.horizontalAdvance(sample)));
    for (std::size_t k = 0; k < entries.size(); ++k) {
        QPushButton* button = gray_button(cutter.fitted(shown_label(entries[k])));
        QObject::connect(button, &QPushButton::clicked, &dialog, [&, k] {
            try {
                if (!pressed(int(k))) return;
                chosen = int(k);
                dialog.accept();
            } catch (...) {
                failure = std::current_exception();
                dialog.reject();
            }
        });
        column->addWidget(button);
    }
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    row->addWidget(within_screen(panel, margins.top() + margins.bottom()), 0, Qt::AlignTop);
    row->addWidget(cancel, 0, Qt::AlignTop);

    // Built, the window's size is known; it is painted only with room for it.
    const alert_room painting(painting_room(dialog.sizeHint()));
    need_room(painting);

    {
        const cursor_shown answering(Qt::ArrowCursor, true);
        waiting([&] { return dialog.exec(); });
    }
    if (failure) std::rethrow_exception(failure);
    return chosen;
}

std::optional<std::string> qt_alert_seam::ask_text(const std::string& prompt, const std::string& initial)
{
    const alert_room room;
    need_room(room);
    bool ok = false;
    const cursor_shown answering(Qt::ArrowCursor, true);
    const QString text = waiting([&] {
        return QInputDialog::getText(nullptr, QString(), QString::fromStdString(prompt), QLineEdit::Normal,
                                     QString::fromStdString(initial), &ok);
    });
    if (!ok) return std::nullopt;
    return text.toStdString();
}

void qt_alert_seam::beep() { QApplication::beep(); }

void prepare_threads()
{
    pthread_attr_t attributes;
    if (::pthread_getattr_default_np(&attributes) == 0) {
        ::pthread_attr_setstacksize(&attributes, thread_stack_size);
        ::pthread_setattr_default_np(&attributes);
        ::pthread_attr_destroy(&attributes);
    }
    // Every thread allocates from the one heap: a heap of its own reserves
    // 64 MB of address space at a thread's first allocation.
    ::mallopt(M_ARENA_MAX, 1);
    // The raster engine hands large fills and conversions to the global pool
    // and waits for them; a pool thread that cannot start never runs them. One
    // thread, kept once started, paints with the window's thread, so that only
    // its first start needs room. It is not started now: a program of one
    // thread keeps the C library's quicker single-thread paths.
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setExpiryTimeout(-1);
    pool->setMaxThreadCount(1);
}

void prepare_alerts()
{
    const alert_room room;
    if (!room) return;
    QMessageBox box;
    box.setText("OK, resuming main loop");
    box.setStandardButtons(QMessageBox::Ok);
    box.ensurePolished();
    QImage image(box.sizeHint(), QImage::Format_ARGB32_Premultiplied);
    box.render(&image);
}

bool guarded_application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (waits_open == 0) {
            // Shown as a failure of a window's work is.
            showing_failures([] { throw; }, false, work_kind::quick);
        } else {
            if (!toolkit_failure) toolkit_failure = std::current_exception();
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
        }
        return true;
    }
}
