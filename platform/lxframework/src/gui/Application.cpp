#include <lxframework/Application.h>
#include <lxframework/Runtime.h>

namespace lx {

void Application::AddMenuHandler(std::string_view itemName, std::function<bool()> handler)
{
    mMenus.Add(itemName, std::move(handler));
}

Ref<lx::ResourceFork> Application::ResourceFork() const { return New<lx::ResourceFork>(); }

int32_t Application::MajorVersion() const { return TERRASLIDE_VERSION_MAJOR; }

int32_t Application::MinorVersion() const { return TERRASLIDE_VERSION_MINOR; }

int32_t Application::BugVersion() const { return TERRASLIDE_VERSION_PATCH; }

int32_t Application::StageCode() const { return TERRASLIDE_STAGE_CODE; }

int32_t Application::NonReleaseVersion() const { return TERRASLIDE_VERSION_TWEAK; }

}
