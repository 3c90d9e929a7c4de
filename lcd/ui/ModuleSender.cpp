#include "ui/ModuleSender.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>

#include "base/Messenger.h"
#include "link/Download.h"
#include "link/Link.h"

namespace {

// The worker's events, read by the dialog's timer on the user-interface thread.
class AtomicSink : public ProgressSink {
public:
    void OnProgress(int code, int64_t value) override {
        if (code == kProgressTotal) total.store(value);
        if (code == kProgressSent) sent.store(value + 1);
    }
    std::atomic<int64_t> total{0}, sent{0};
};

// Keeps what OpenLink tells, so that the download names it under its own words.
class Collecting : public Messenger {
public:
    explicit Collecting(Messenger& inner) : m_inner(inner) {}
    void Tell(const std::string& text, const std::string&) override {
        told += (told.empty() ? "" : "\n") + text;
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) override {
        return m_inner.Ask(text, caption, buttons);
    }
    std::string told;

private:
    Messenger& m_inner;
};

class LinkSender final : public ModuleSender {
public:
    LinkSender(QWidget* parent, Messenger& messenger) : m_parent(parent), m_messenger(messenger) {
        // A damaged file keeps the defaults; the link settings dialog says what is wrong.
        std::string error;
        m_settings.Load(error);
    }

    bool send(CByteArray bytes, const QString& title) override {
        Collecting why(m_messenger);
        std::unique_ptr<Link> link = OpenLink(m_settings, why);
        if (!link) {
            m_messenger.Tell("设备连接错误" + (why.told.empty() ? "" : "\n" + why.told), "提示");
            return false;
        }
        AtomicSink sink;
        const auto total = static_cast<int64_t>(bytes.size());
        const ProgressScale scale = ProgressScale::For(total);
        QProgressDialog dialog(title, QObject::tr("停止"), 0, static_cast<int>(scale.upper),
                               m_parent);
        dialog.setWindowTitle(title);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(0);
        Download download(std::move(link), std::move(bytes), sink);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
            if (download.IsFinished()) {
                dialog.reset();
                return;
            }
            const int64_t sent = sink.sent.load();
            if (sent > 0) dialog.setValue(static_cast<int>(scale.Position(sent - 1)));
        });
        QObject::connect(&dialog, &QProgressDialog::canceled, &dialog,
                         [&download] { download.RequestStop(); });
        poll.start(30);
        dialog.exec();
        download.RequestStop();
        const SendResult& result = download.Wait();
        TellOutcome(result, m_messenger);
        return result.Ok();
    }

    bool sendImmediate(CByteArray& bytes) override {
        return SendImmediateCommand(m_settings, bytes, m_messenger);
    }

    void editSettings() override {
        QMessageBox::information(m_parent, QObject::tr("提示"),
                                 QObject::tr("“通信方式”尚未提供，将在后续版本中加入。"));
    }

    const LinkSettings& settings() const override { return m_settings; }
    void setBaudRate(int32_t rate) override {
        m_settings.baudRate = rate;
        save();
    }
    void setBoardType(int32_t boardType) override {
        if (m_settings.boardType == boardType) return;
        m_settings.boardType = boardType;
        save();
    }

private:
    void save() {
        std::string error;
        if (!m_settings.Save(error)) m_messenger.Tell(error, "提示");
    }

    QWidget* m_parent;
    Messenger& m_messenger;
    LinkSettings m_settings;
};

}  // namespace

std::unique_ptr<ModuleSender> MakeLinkSender(QWidget* parent, Messenger& messenger) {
    return std::make_unique<LinkSender>(parent, messenger);
}
