#include "DesignBench.h"

#include <cstdio>
#include <tinyxml2.h>

namespace designtest
{

std::vector<std::tuple<int, int, int, int>> RecordingHost::Outlines() const
{
    std::vector<std::tuple<int, int, int, int>> out;
    for (const auto& [shape, count] : shown_)
        if (count % 2)
            out.push_back(shape);
    return out;
}

void RecordingHost::Toggle(int a, int b, int c, int d)
{
    ++feedbackDraws;
    ++shown_[std::make_tuple(a, b, c, d)];
}

DesignLayer::~DesignLayer()
{
    SetView(nullptr);
    while (!controls.empty()) {
        DoxControl* control = controls.back();
        controls.pop_back();
        control->SetParentLayer(nullptr);
        control->Release();
    }
}

DoxControl* DesignLayer::LoadControl(const tinyxml2::XMLElement* element, int a, int b)
{
    DoxControl* control = CreateControlFromXml(this, element);
    if (!control)
        return nullptr;
    controls.push_back(control);
    if (GetView() && !AddObject(GetView(), control, a, b)) {
        std::erase(controls, control);
        control->SetParentLayer(nullptr);
        control->Release();
        return nullptr;
    }
    return control;
}

DoxControl* DesignLayer::Create(int32_t kind, RECT rect)
{
    DoxControl* control = CreateControlByKind(kind, this, &rect);
    if (!control)
        return nullptr;
    controls.push_back(control);
    if (GetView() && !AddObject(GetView(), control, 1, 0)) {
        std::erase(controls, control);
        control->SetParentLayer(nullptr);
        control->Release();
        return nullptr;
    }
    return control;
}

Bench::Bench()
{
    canvas.Init(&host, &canvas);
    canvas.SetPageRect(2100, 2970, 0, 0);
    a.SetView(&canvas);
    b.SetView(&canvas);
    MakeCurrent(a);
}

void Bench::MakeCurrent(DesignLayer& layer)
{
    for (DesignLayer* l : {&a, &b})
        if (l->state == 2)
            l->state = 1;
    layer.state = 2;
    canvas.SetCurrentLayer(&layer);
}

DoxControl* Bench::Add(int left, int top, int width, int height, DesignLayer* layer, int32_t kind)
{
    DesignLayer* on = layer ? layer : &a;
    // The engine names a node after the layer that asks for it.
    return on->Create(kind, RECT{left, -top, left + width, -(top + height)});
}

void Bench::AddBoxes(std::vector<std::unique_ptr<BoxObject>>& boxes)
{
    for (auto& box : boxes)
        a.AddObject(&canvas, box.get(), 1, 0);
}

GrabNode* Bench::NodeOf(DoxControl* control) const
{
    return control ? static_cast<GrabNode*>(control->GetDesignLink()) : nullptr;
}

void Bench::Drag(int flags, int x0, int y0, int x1, int y1, int steps)
{
    Down(flags, x0, y0);
    for (int i = 1; i <= steps; ++i)
        Move(flags, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    Up(flags, x1, y1);
}

std::string TemplateXml(DoxControl* control)
{
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* element = doc.NewElement("dox:control");
    doc.InsertEndChild(element);
    element->SetAttribute("id", control->GetId().c_str());
    static_cast<DoxAttribSet*>(control)->SaveXml(element, true);
    tinyxml2::XMLPrinter printer(nullptr, true);
    doc.Print(&printer);
    return printer.CStr();
}

std::string LineXml(int x, int y, int cx, int cy, int order, int lock)
{
    char text[1024];
    std::snprintf(text, sizeof text,
                  "<dox:control id=\"linecontrol\"><dox:attrib id=\"base\">"
                  "<dox:attribitem id=\"x\" value=\"%d\"/><dox:attribitem id=\"y\" value=\"%d\"/>"
                  "<dox:attribitem id=\"cx\" value=\"%d\"/><dox:attribitem id=\"cy\" value=\"%d\"/>"
                  "<dox:attribitem id=\"order\" value=\"%d\"/><dox:attribitem id=\"lock\" value=\"%d\"/>"
                  "<dox:attribitem id=\"fgcolor\" value=\"0\"/><dox:attribitem id=\"style\" value=\"3\"/>"
                  "<dox:attribitem id=\"printable\" value=\"1\"/></dox:attrib></dox:control>",
                  x, y, cx, cy, order, lock);
    return text;
}

RECT DownRect(DoxControl* control)
{
    RECT r{};
    control->GetRect(&r);
    return RECT{r.left, -r.top, r.right, -r.bottom};
}

} // namespace designtest
