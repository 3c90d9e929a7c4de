#include "link/Link.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "link/CanLink.h"
#include "link/ParallelLink.h"
#include "link/SerialLink.h"
#include "link/UsbLink.h"

namespace {

// Passes on only the progress events that move a bar of the transfer's scale.
class ThinningSink final : public ProgressSink {
public:
    ThinningSink(ProgressSink& out, int64_t total)
        : m_out(out), m_scale(ProgressScale::For(total)) {}
    void OnProgress(int code, int64_t value) override {
        if (code == kProgressSent) {
            const int64_t position = m_scale.Position(value);
            if (position == m_last) return;
            m_last = position;
        }
        m_out.OnProgress(code, value);
    }

private:
    ProgressSink& m_out;
    ProgressScale m_scale;
    int64_t m_last = -1;
};

}  // namespace

ProgressScale ProgressScale::For(int64_t total) {
    if (total < 0x8000) return {total, 1};
    return {1000, total / 1000};
}

int64_t ProgressScale::Position(int64_t index) const {
    return std::max<int64_t>(0, std::min(index / divisor, upper - 1));
}

SendResult Link::SendCommand(std::span<const uint8_t>, const std::atomic<bool>&) {
    return SendResult::Fail("USB 和 USB-CAN 连接不能发送即时命令，请改用串口或并口");
}

std::unique_ptr<Link> OpenLink(LinkSettings& settings, Messenger& messenger,
                               const LinkEnvironment& env) {
    std::string error;
    if (!settings.loadProblem.empty()) {
        messenger.Tell(settings.loadProblem +
                           "。不会改用别的连接：请改正或删除这个文件，或在通讯口设置中重新保存",
                       "提示");
        return nullptr;
    }
    // Kind 4 and the other values no link has would send nothing and call it done.
    if (const std::string why = settings.Problem(); !why.empty()) {
        messenger.Tell(why, "提示");
        return nullptr;
    }
    switch (settings.Kind()) {
        case LinkKind::Serial:
            if (auto link = SerialLink::Open(settings, error)) return link;
            messenger.Tell("打开串口失败!\n" + error, "提示");
            return nullptr;
        case LinkKind::Parallel:
            if (auto port = ParallelLink::OpenPort(settings, error))
                return std::make_unique<ParallelLink>(std::move(port),
                                                      ParallelLink::BaseOf(settings), settings);
            messenger.Tell("打开并口失败\n" + error, "提示");
            return nullptr;
        case LinkKind::Usb:
            return UsbLink::Open(settings, messenger, env);
        case LinkKind::UsbCan:
            return CanLink::Open(settings, messenger, env);
        case LinkKind::None:
            break;
    }
    return nullptr;
}

SendResult SendBuffer(Link& link, std::span<const uint8_t> bytes, ProgressSink& sink,
                      const std::atomic<bool>& stop) {
    ThinningSink thin(sink, static_cast<int64_t>(bytes.size()));
    return link.Send(bytes, thin, stop);
}

bool SendImmediateCommand(LinkSettings& settings, CByteArray& command, Messenger& messenger,
                          const LinkEnvironment& env) {
    std::unique_ptr<Link> link = OpenLink(settings, messenger, env);
    if (!link) {
        messenger.Tell("接口配置失败", "提示");
        command.clear();
        return false;
    }
    const std::atomic<bool> never{false};
    const SendResult result = link->SendCommand(command, never);
    command.clear();
    link.reset();
    if (!result.Ok()) messenger.Tell(result.message, "提示");
    return result.Ok();
}

void TellOutcome(const SendResult& result, Messenger& messenger) {
    if (result.status == SendStatus::TimedOut) messenger.Tell(result.message, "超时");
    if (result.status == SendStatus::Failed) messenger.Tell(result.message, "提示");
}

std::string DescribeOpenFailure(const std::string& path, int err) {
    switch (err) {
        case EACCES:
        case EPERM: {
            struct stat st {};
            const group* g = stat(path.c_str(), &st) == 0 ? getgrgid(st.st_gid) : nullptr;
            if (!g || st.st_gid == 0 || !(st.st_mode & S_IWGRP))
                return "没有权限打开 " + path +
                       "：只有 root 能使用它，请为它安装 udev 规则（或请管理员放开权限）";
            return StringFormat(
                "没有权限打开 %s：它属于用户组“%s”。请把当前用户加入该组（sudo usermod -aG %s "
                "$USER），然后注销并重新登录，新的组才会生效",
                path.c_str(), g->gr_name, g->gr_name);
        }
        case EBUSY:
        case EWOULDBLOCK:
            return path + " 正被另一个程序占用，请先关闭那个程序再试";
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "找不到 " + path + "：设备不存在或没有连接";
    }
    return "打开 " + path + " 失败：" + std::strerror(err);
}
