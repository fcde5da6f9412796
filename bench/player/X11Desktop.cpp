#include "X11Desktop.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

struct X11Desktop::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_window_t cover = XCB_NONE;
    ~Connection()
    {
        if (xcb)
            xcb_disconnect(xcb);
    }
};

namespace {

xcb_atom_t Atom(xcb_connection_t* xcb, std::string_view name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(xcb, xcb_intern_atom(xcb, 0, std::uint16_t(name.size()), name.data()), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
}

// The 32-bit values of a window property.
std::vector<std::uint32_t> Property32(xcb_connection_t* xcb, xcb_window_t window, xcb_atom_t property)
{
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(xcb, xcb_get_property(xcb, 0, window, property, XCB_ATOM_ANY, 0, 4096), nullptr);
    std::vector<std::uint32_t> values;
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

void SendToRoot(xcb_connection_t* xcb, xcb_screen_t* screen, xcb_window_t window, xcb_atom_t type,
                std::uint32_t first, std::uint32_t second = 0)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    message.data.data32[0] = first;
    message.data.data32[1] = second;
    xcb_send_event(xcb, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(xcb);
}

struct KeyStroke {
    std::uint8_t keycode = 0;
    bool shifted = false;  // the keysym is the key's second, with Shift
};

KeyStroke KeyFor(xcb_connection_t* xcb, unsigned keysym)
{
    const xcb_setup_t* setup = xcb_get_setup(xcb);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
        xcb, xcb_get_keyboard_mapping(xcb, setup->min_keycode, std::uint8_t(count)), nullptr);
    KeyStroke stroke;
    if (!mapping)
        return stroke;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
    const int perKeycode = mapping->keysyms_per_keycode;
    for (int i = 0; i < count * perKeycode && stroke.keycode == 0; ++i)
        if (keysyms[i] == keysym && i % perKeycode < 2)
            stroke = {std::uint8_t(setup->min_keycode + i / perKeycode), i % perKeycode == 1};
    std::free(mapping);
    return stroke;
}

// Presses the keys in order and releases them in the reverse order.
void PressTogether(xcb_connection_t* xcb, const std::vector<std::uint8_t>& keycodes)
{
    for (const std::uint8_t keycode : keycodes)
        xcb_test_fake_input(xcb, XCB_KEY_PRESS, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    for (auto keycode = keycodes.rbegin(); keycode != keycodes.rend(); ++keycode)
        xcb_test_fake_input(xcb, XCB_KEY_RELEASE, *keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(xcb);
}

}  // namespace

X11Desktop::X11Desktop(std::unique_ptr<Connection> connection) : m_connection(std::move(connection)) {}

X11Desktop::~X11Desktop() = default;

std::unique_ptr<X11Desktop> X11Desktop::Open()
{
    if (!std::getenv("DISPLAY"))
        return nullptr;
    auto connection = std::make_unique<Connection>();
    connection->xcb = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection->xcb))
        return nullptr;
    connection->screen = xcb_setup_roots_iterator(xcb_get_setup(connection->xcb)).data;
    return std::unique_ptr<X11Desktop>(new X11Desktop(std::move(connection)));
}

std::optional<unsigned> X11Desktop::WindowOf(qint64 pid) const
{
    const std::vector<unsigned> windows = WindowsOf(pid);
    return windows.empty() ? std::nullopt : std::optional<unsigned>(windows.front());
}

std::vector<unsigned> X11Desktop::WindowsOf(qint64 pid) const
{
    xcb_connection_t* xcb = m_connection->xcb;
    const xcb_atom_t pidAtom = Atom(xcb, "_NET_WM_PID");
    std::vector<unsigned> windows;
    for (const std::uint32_t window : Property32(xcb, m_connection->screen->root, Atom(xcb, "_NET_CLIENT_LIST"))) {
        const std::vector<std::uint32_t> owner = Property32(xcb, window, pidAtom);
        if (!owner.empty() && owner[0] == pid)
            windows.push_back(window);
    }
    return windows;
}

std::optional<unsigned> X11Desktop::ActiveWindow() const
{
    xcb_connection_t* xcb = m_connection->xcb;
    const std::vector<std::uint32_t> active =
        Property32(xcb, m_connection->screen->root, Atom(xcb, "_NET_ACTIVE_WINDOW"));
    return active.empty() || active[0] == XCB_NONE ? std::nullopt : std::optional<unsigned>(active[0]);
}

QString X11Desktop::Title(unsigned window) const
{
    xcb_connection_t* xcb = m_connection->xcb;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        xcb, xcb_get_property(xcb, 0, window, Atom(xcb, "_NET_WM_NAME"), Atom(xcb, "UTF8_STRING"), 0, 1024),
        nullptr);
    QString title;
    if (reply)
        title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                  xcb_get_property_value_length(reply));
    std::free(reply);
    return title;
}

QRect X11Desktop::ClientArea(unsigned window) const
{
    xcb_connection_t* xcb = m_connection->xcb;
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(xcb, xcb_get_geometry(xcb, window), nullptr);
    xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
        xcb, xcb_translate_coordinates(xcb, window, m_connection->screen->root, 0, 0), nullptr);
    QRect area;
    if (geometry && origin)
        area = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    std::free(geometry);
    std::free(origin);
    return area;
}

void X11Desktop::Minimise(unsigned window)
{
    constexpr std::uint32_t kIconicState = 3;
    SendToRoot(m_connection->xcb, m_connection->screen, window, Atom(m_connection->xcb, "WM_CHANGE_STATE"),
               kIconicState);
}

void X11Desktop::Restore(unsigned window)
{
    constexpr std::uint32_t kFromPager = 2;
    SendToRoot(m_connection->xcb, m_connection->screen, window, Atom(m_connection->xcb, "_NET_ACTIVE_WINDOW"),
               kFromPager);
}

void X11Desktop::Cover(bool cover)
{
    xcb_connection_t* xcb = m_connection->xcb;
    xcb_screen_t* screen = m_connection->screen;
    if (!cover) {
        if (m_connection->cover != XCB_NONE)
            xcb_destroy_window(xcb, m_connection->cover);
        m_connection->cover = XCB_NONE;
        xcb_flush(xcb);
        return;
    }
    m_connection->cover = xcb_generate_id(xcb);
    const std::uint32_t values[] = {screen->black_pixel};
    xcb_create_window(xcb, XCB_COPY_FROM_PARENT, m_connection->cover, screen->root, 0, 0, screen->width_in_pixels,
                      screen->height_in_pixels, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL, values);
    xcb_map_window(xcb, m_connection->cover);
    const std::uint32_t above[] = {XCB_STACK_MODE_ABOVE};
    xcb_configure_window(xcb, m_connection->cover, XCB_CONFIG_WINDOW_STACK_MODE, above);
    xcb_flush(xcb);
}

void X11Desktop::Click(QPoint onScreen)
{
    xcb_connection_t* xcb = m_connection->xcb;
    const xcb_window_t root = m_connection->screen->root;
    xcb_test_fake_input(xcb, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, std::int16_t(onScreen.x()),
                        std::int16_t(onScreen.y()), 0);
    xcb_test_fake_input(xcb, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, root, 0, 0, 0);
    xcb_test_fake_input(xcb, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, root, 0, 0, 0);
    xcb_flush(xcb);
}

void X11Desktop::Key(unsigned keysym, unsigned modifierKeysym)
{
    xcb_connection_t* xcb = m_connection->xcb;
    std::vector<std::uint8_t> keys;
    if (modifierKeysym != 0)
        keys.push_back(KeyFor(xcb, modifierKeysym).keycode);
    keys.push_back(KeyFor(xcb, keysym).keycode);
    PressTogether(xcb, keys);
}

void X11Desktop::Type(const QString& text)
{
    constexpr unsigned kShift = 0xFFE1;
    xcb_connection_t* xcb = m_connection->xcb;
    const std::uint8_t shift = KeyFor(xcb, kShift).keycode;
    for (const QChar character : text) {
        const KeyStroke stroke = KeyFor(xcb, character.unicode());
        if (stroke.shifted)
            PressTogether(xcb, {shift, stroke.keycode});
        else
            PressTogether(xcb, {stroke.keycode});
    }
}

QByteArray X11Desktop::Pixels(QRect area) const
{
    xcb_connection_t* xcb = m_connection->xcb;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        xcb,
        xcb_get_image(xcb, XCB_IMAGE_FORMAT_Z_PIXMAP, m_connection->screen->root, std::int16_t(area.x()),
                      std::int16_t(area.y()), std::uint16_t(area.width()), std::uint16_t(area.height()), ~0u),
        nullptr);
    QByteArray pixels;
    if (image)
        pixels = QByteArray(reinterpret_cast<const char*>(xcb_get_image_data(image)), xcb_get_image_data_length(image));
    std::free(image);
    return pixels;
}
