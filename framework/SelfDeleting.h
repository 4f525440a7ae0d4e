#pragma once
// A window object made with new that deletes itself after its window's last message;
// objects on the stack or inside another object use the window class itself.
#include <utility>

template <class Wnd>
class SelfDeleting : public Wnd {
public:
    template <class... Args>
    explicit SelfDeleting(Args&&... args) : Wnd(std::forward<Args>(args)...) {}

protected:
    void PostNcDestroy() override { delete this; }
};
