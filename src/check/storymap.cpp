#include "check/storymap.h"

#include <cstdio>
#include <fstream>
#include <graphviz/gvc.h>

namespace {

// A DOT string: quotes and backslashes escaped, line breaks as "\n".
std::string dotString(const std::string& text)
{
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"' || ch == '\\') out += '\\';
        if (ch == '\n') out += "\\n";
        else out += ch;
    }
    return out + "\"";
}

std::string nodeAttributes(const StoryNode& node)
{
    switch (node.kind) {
    case NodeKind::Ending: return "shape=doubleoctagon, style=filled, fillcolor=\"#fff2b3\"";
    case NodeKind::GameOver: return "shape=octagon, style=filled, fillcolor=\"#f4c7c3\"";
    case NodeKind::Title: return "shape=house, style=filled, fillcolor=\"#d9d9d9\", label=\"title (inith)\"";
    default: break;
    }
    std::string label = node.name + (node.chapter.empty() ? "" : "\nchapter " + node.chapter);
    bool entry = node.name == "start" || node.name == "restart";
    return "label=" + dotString(label) + (entry ? ", style=\"rounded,filled\", fillcolor=\"#cfe2f3\"" : "");
}

}  // namespace

std::string storyDot(const Story& story)
{
    std::string dot = "digraph story {\n"
                      "  node [shape=box, style=rounded, fontname=\"IPAGothic\", fontsize=11];\n"
                      "  edge [fontname=\"IPAGothic\", fontsize=9];\n";
    for (const StoryNode& node : story.nodes)
        dot += "  " + dotString(node.name) + " [" + nodeAttributes(node) +
               (node.style.empty() ? "" : ", " + node.style) + "];\n";
    for (const StoryEdge& edge : story.edges) {
        dot += "  " + dotString(edge.from) + " -> " + dotString(edge.to);
        std::string attributes = edge.label.empty() ? "" : "label=" + dotString(edge.label);
        if (!edge.style.empty()) attributes += (attributes.empty() ? "" : ", ") + edge.style;
        if (!attributes.empty()) dot += " [" + attributes + "]";
        dot += ";\n";
    }
    return dot + "}\n";
}

bool writeStoryMap(const Story& story, const std::string& base, std::string& problem)
{
    std::string dot = storyDot(story);
    std::ofstream out(base + ".dot", std::ios::binary);
    if (!(out << dot) || !(out.flush())) {
        problem = "cannot write " + base + ".dot";
        return false;
    }
    GVC_t* context = gvContext();
    Agraph_t* graph = agmemread(dot.c_str());
    bool drawn = graph && gvLayout(context, graph, "dot") == 0;
    if (drawn) {
        drawn = gvRenderFilename(context, graph, "svg", (base + ".svg").c_str()) == 0;
        gvFreeLayout(context, graph);
    }
    if (graph) agclose(graph);
    gvFreeContext(context);
    if (!drawn) problem = "cannot draw " + base + ".svg";
    return drawn;
}
