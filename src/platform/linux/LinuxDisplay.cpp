#include "platform/linux/LinuxDisplay.h"

#include "platform/ScreenGeometry.h"

#include "platform/linux/DBusCall.h"
#include "platform/linux/X11.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>
#include <QRect>

#include <xcb/dpms.h>
#include <xcb/randr.h>
#include <xcb/screensaver.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace qb {

namespace {

Q_LOGGING_CATEGORY(lcDisplay, "quillbar.display")

const QString KScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString KScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");

struct TFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using TReply = std::unique_ptr<T, TFree>;

bool HasExtension(xcb_connection_t* c, xcb_extension_t* extension)
{
    const xcb_query_extension_reply_t* data = xcb_get_extension_data(c, extension);
    return data && data->present;
}

quint16 RotationBit(TOrientation o)
{
    switch (o) {
    case TOrientation::Rotate90:
        return XCB_RANDR_ROTATION_ROTATE_90;
    case TOrientation::Rotate180:
        return XCB_RANDR_ROTATION_ROTATE_180;
    case TOrientation::Rotate270:
        return XCB_RANDR_ROTATION_ROTATE_270;
    case TOrientation::Default:
        break;
    }
    return XCB_RANDR_ROTATION_ROTATE_0;
}

constexpr quint16 KRotations = XCB_RANDR_ROTATION_ROTATE_0 | XCB_RANDR_ROTATION_ROTATE_90
    | XCB_RANDR_ROTATION_ROTATE_180 | XCB_RANDR_ROTATION_ROTATE_270;
constexpr quint16 KPortrait = XCB_RANDR_ROTATION_ROTATE_90 | XCB_RANDR_ROTATION_ROTATE_270;

struct TCrtc {
    xcb_randr_crtc_t Id = 0;
    QRect Rect;
    TReply<xcb_randr_get_crtc_info_reply_t> Info;
};

} // namespace

LinuxDisplay::LinuxDisplay(QDBusConnection session, QObject* parent)
    : QObject(parent)
    , FSession(std::move(session))
{
}

LinuxDisplay::~LinuxDisplay()
{
    SetKeepAwake(false);
}

bool LinuxDisplay::MonitorOff()
{
    xcb_connection_t* c = x11::Connection();
    if (!c || !HasExtension(c, &xcb_dpms_id))
        return false;
    TReply<xcb_dpms_capable_reply_t> capable(xcb_dpms_capable_reply(c, xcb_dpms_capable(c), nullptr));
    if (!capable || !capable->capable)
        return false;
    xcb_dpms_enable(c);
    xcb_dpms_force_level(c, XCB_DPMS_DPMS_MODE_OFF);
    xcb_flush(c);
    return true;
}

void LinuxDisplay::StartScreenSaver()
{
    if (HasService(FSession, KScreenSaver)) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            KScreenSaver, KScreenSaverPath, KScreenSaver, QStringLiteral("SetActive"));
        call << true;
        SendWithoutWaiting(FSession, call, "screen saver start");
        return;
    }
    if (xcb_connection_t* c = x11::Connection()) {
        xcb_force_screen_saver(c, XCB_SCREEN_SAVER_ACTIVE);
        xcb_flush(c);
    }
}

void LinuxDisplay::SetKeepAwake(bool on)
{
    if (on == FKeepAwake)
        return;
    FKeepAwake = on;
    if (on)
        Inhibit();
    else
        UnInhibit();
}

void LinuxDisplay::Inhibit()
{
    FUsesService = HasService(FSession, KScreenSaver);
    if (FUsesService) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            KScreenSaver, KScreenSaverPath, KScreenSaver, QStringLiteral("Inhibit"));
        call << QStringLiteral("Quillbar") << QStringLiteral("The pointer rests on the page switcher");
        auto* watcher = new QDBusPendingCallWatcher(FSession.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
            watcher->deleteLater();
            const QDBusPendingReply<quint32> reply = *watcher;
            if (reply.isError()) {
                qCWarning(lcDisplay) << "screen saver inhibition refused:" << reply.error().message();
                return;
            }
            FCookie = reply.value();
            // Switched off again while the answer was under way.
            if (!FKeepAwake)
                UnInhibit();
        });
        return;
    }
    xcb_connection_t* c = x11::Connection();
    if (!c)
        return;
    TReply<xcb_get_screen_saver_reply_t> saver(
        xcb_get_screen_saver_reply(c, xcb_get_screen_saver(c), nullptr));
    if (!saver)
        return;
    TXSaverSettings saved { qint16(saver->timeout), qint16(saver->interval), saver->prefer_blanking,
        saver->allow_exposures, false };
    if (HasExtension(c, &xcb_dpms_id)) {
        TReply<xcb_dpms_info_reply_t> dpms(xcb_dpms_info_reply(c, xcb_dpms_info(c), nullptr));
        saved.DpmsWasOn = dpms && dpms->state;
        if (saved.DpmsWasOn)
            xcb_dpms_disable(c);
    }
    xcb_set_screen_saver(c, 0, saved.Interval, saved.PreferBlanking, saved.AllowExposures);
    xcb_flush(c);
    FSaved = saved;
}

void LinuxDisplay::UnInhibit()
{
    if (FCookie) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            KScreenSaver, KScreenSaverPath, KScreenSaver, QStringLiteral("UnInhibit"));
        call << *FCookie;
        FCookie.reset();
        SendWithoutWaiting(FSession, call, "screen saver inhibition end");
    }
    if (FSaved) {
        const TXSaverSettings saved = *FSaved;
        FSaved.reset();
        xcb_connection_t* c = x11::Connection();
        if (!c)
            return;
        xcb_set_screen_saver(c, saved.Timeout, saved.Interval, saved.PreferBlanking, saved.AllowExposures);
        if (saved.DpmsWasOn)
            xcb_dpms_enable(c);
        xcb_flush(c);
    }
}

int LinuxDisplay::IdleSeconds() const
{
    xcb_connection_t* c = x11::Connection();
    if (!c || !HasExtension(c, &xcb_screensaver_id))
        return 0;
    TReply<xcb_screensaver_query_info_reply_t> info(
        xcb_screensaver_query_info_reply(c, xcb_screensaver_query_info(c, x11::Root(c)), nullptr));
    return info ? int(info->ms_since_user_input / 1000) : 0;
}

TOrientationResult LinuxDisplay::SetOrientation(QPoint point, TOrientation orientation)
{
    xcb_connection_t* c = x11::Connection();
    if (!c || !HasExtension(c, &xcb_randr_id))
        return TOrientationResult::Refused;
    const xcb_window_t root = x11::Root(c);
    TReply<xcb_randr_get_screen_resources_current_reply_t> res(xcb_randr_get_screen_resources_current_reply(
        c, xcb_randr_get_screen_resources_current(c, root), nullptr));
    if (!res)
        return TOrientationResult::Refused;

    std::vector<TCrtc> crtcs;
    const xcb_randr_crtc_t* ids = xcb_randr_get_screen_resources_current_crtcs(res.get());
    for (int i = 0; i < xcb_randr_get_screen_resources_current_crtcs_length(res.get()); ++i) {
        TReply<xcb_randr_get_crtc_info_reply_t> info(xcb_randr_get_crtc_info_reply(
            c, xcb_randr_get_crtc_info(c, ids[i], res->config_timestamp), nullptr));
        if (!info || info->mode == XCB_NONE || info->num_outputs == 0)
            continue;
        crtcs.push_back({ ids[i], QRect(info->x, info->y, info->width, info->height), std::move(info) });
    }
    TCrtc* target = nullptr;
    qint64 best = std::numeric_limits<qint64>::max();
    for (TCrtc& crtc : crtcs) {
        const qint64 d = DistanceSquared(crtc.Rect, point);
        if (d < best) {
            best = d;
            target = &crtc;
        }
    }
    if (!target)
        return TOrientationResult::Refused;

    const quint16 wanted = RotationBit(orientation);
    const quint16 current = target->Info->rotation & KRotations;
    if (current == wanted)
        return TOrientationResult::AlreadySet;
    if (!(target->Info->rotations & wanted))
        return TOrientationResult::Refused;

    // Portrait against landscape: the output's picture swaps its width and height.
    QRect rotated = target->Rect;
    if (bool(current & KPortrait) != bool(wanted & KPortrait))
        rotated.setSize(rotated.size().transposed());
    QRect needed = rotated;
    for (const TCrtc& crtc : crtcs)
        if (&crtc != target)
            needed |= crtc.Rect;
    needed.setTopLeft(QPoint(0, 0));

    TReply<xcb_randr_get_screen_size_range_reply_t> range(
        xcb_randr_get_screen_size_range_reply(c, xcb_randr_get_screen_size_range(c, root), nullptr));
    TReply<xcb_get_geometry_reply_t> screen(xcb_get_geometry_reply(c, xcb_get_geometry(c, root), nullptr));
    if (!range || !screen || needed.width() > range->max_width || needed.height() > range->max_height)
        return TOrientationResult::Refused;

    const xcb_screen_t* setup = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const auto setScreenSize = [&](int w, int h) {
        w = std::max<int>(w, range->min_width);
        h = std::max<int>(h, range->min_height);
        // Keeps the screen's dots per millimetre.
        const quint32 mmW = setup->width_in_pixels
            ? quint32(qint64(w) * setup->width_in_millimeters / setup->width_in_pixels)
            : quint32(w);
        const quint32 mmH = setup->height_in_pixels
            ? quint32(qint64(h) * setup->height_in_millimeters / setup->height_in_pixels)
            : quint32(h);
        xcb_randr_set_screen_size(c, root, quint16(w), quint16(h), mmW, mmH);
    };

    const int oldW = screen->width;
    const int oldH = screen->height;
    const bool grow = needed.width() > oldW || needed.height() > oldH;
    if (grow)
        setScreenSize(std::max(oldW, needed.width()), std::max(oldH, needed.height()));

    const quint16 reflection = target->Info->rotation & ~KRotations;
    TReply<xcb_randr_set_crtc_config_reply_t> set(xcb_randr_set_crtc_config_reply(c,
        xcb_randr_set_crtc_config(c, target->Id, XCB_CURRENT_TIME, res->config_timestamp, target->Info->x,
            target->Info->y, target->Info->mode, quint16(wanted | reflection), target->Info->num_outputs,
            xcb_randr_get_crtc_info_outputs(target->Info.get())),
        nullptr));
    if (!set || set->status != XCB_RANDR_SET_CONFIG_SUCCESS) {
        if (grow)
            setScreenSize(oldW, oldH);
        xcb_flush(c);
        return TOrientationResult::Refused;
    }
    if (needed.width() < oldW || needed.height() < oldH)
        setScreenSize(needed.width(), needed.height());
    xcb_flush(c);
    return TOrientationResult::Changed;
}

void LinuxDisplay::Beep()
{
    if (xcb_connection_t* c = x11::Connection()) {
        xcb_bell(c, 0);
        xcb_flush(c);
    }
}

} // namespace qb
