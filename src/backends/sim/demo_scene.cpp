#include "backends/sim/demo_scene.h"

namespace quillgate::sim {

// The chat application (pid 4821) with its main window 4107 and a small
// confirmation dialog 4113 over it, the Dock (pid 612) with its icon strip,
// and the menu bar, whose clicks the hit test gives to the frontmost
// application as the window server would.
std::string_view demoScene() {
    return R"json({
  "frontmost": 4821,
  "apps": [
    {"pid": 4821, "name": "WeChat", "bundle": "com.tencent.xinWeChat", "launchDate": 1764993600.5,
     "ax": {
       "AXRole": "AXApplication", "AXTitle": "WeChat",
       "AXWindows": [
         {"id": "confirm", "AXRole": "AXWindow", "AXSubrole": "AXDialog", "AXTitle": "",
          "frame": [490, 350, 420, 200],
          "children": [
            {"AXRole": "AXStaticText", "AXValue": "Delete this chat history?", "frame": [510, 380, 380, 40]},
            {"id": "confirm-cancel", "AXRole": "AXButton", "AXTitle": "Cancel", "frame": [690, 490, 100, 32]},
            {"id": "confirm-ok", "AXRole": "AXButton", "AXTitle": "OK", "frame": [800, 490, 90, 32]}
          ]},
         {"id": "chat", "AXRole": "AXWindow", "AXSubrole": "AXStandardWindow", "AXTitle": "WeChat",
          "AXMinimized": false, "AXMain": true, "frame": [200, 100, 1000, 700],
          "children": [
            {"AXRole": "AXList", "AXDescription": "Chats", "frame": [260, 160, 250, 640],
             "children": [
               {"AXRole": "AXStaticText", "AXValue": "File Transfer", "frame": [270, 170, 230, 56]},
               {"AXRole": "AXStaticText", "AXValue": "Family", "frame": [270, 226, 230, 56]}
             ]},
            {"id": "conversation-title", "AXRole": "AXStaticText", "AXValue": "File Transfer",
             "frame": [530, 110, 400, 36]},
            {"id": "messages", "AXRole": "AXScrollArea", "frame": [510, 156, 690, 484]},
            {"id": "composer", "AXRole": "AXTextArea", "AXValue": "", "frame": [510, 680, 690, 120]}
          ]}
       ],
       "AXFocusedWindow": {"ref": "chat"},
       "AXMainWindow": {"ref": "chat"},
       "AXFocusedUIElement": {"ref": "composer"},
       "AXMenuBar": {"AXRole": "AXMenuBar", "frame": [0, 0, 1920, 25],
         "children": [
           {"AXRole": "AXMenuBarItem", "AXTitle": "Apple"},
           {"AXRole": "AXMenuBarItem", "AXTitle": "WeChat"},
           {"AXRole": "AXMenuBarItem", "AXTitle": "Edit"},
           {"AXRole": "AXMenuBarItem", "AXTitle": "Window",
            "children": [
              {"AXRole": "AXMenu",
               "children": [
                 {"AXRole": "AXMenuItem", "AXTitle": "Minimize", "AXEnabled": true},
                 {"id": "menu-chats", "AXRole": "AXMenuItem", "AXTitle": "Chats", "AXEnabled": true}
               ]}
            ]},
           {"AXRole": "AXMenuBarItem", "AXTitle": "Help"}
         ]}
     }},
    {"pid": 612, "name": "Dock", "bundle": "com.apple.dock", "launchDate": 1764990000,
     "ax": {
       "AXRole": "AXApplication", "AXTitle": "Dock",
       "children": [
         {"AXRole": "AXList", "frame": [760, 1010, 400, 70],
          "children": [
            {"AXRole": "AXDockItem", "AXSubrole": "AXApplicationDockItem", "AXTitle": "Finder",
             "frame": [770, 1015, 60, 60]},
            {"id": "dock-wechat", "AXRole": "AXDockItem", "AXSubrole": "AXApplicationDockItem", "AXTitle": "WeChat",
             "frame": [840, 1015, 60, 60]}
          ]}
       ]
     }}
  ],
  "windows": [
    {"kCGWindowNumber": 24, "kCGWindowLayer": 24, "kCGWindowOwnerPID": 151, "kCGWindowOwnerName": "Window Server",
     "kCGWindowName": "Menubar", "kCGWindowBounds": {"X": 0, "Y": 0, "Width": 1920, "Height": 25},
     "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1},
    {"kCGWindowNumber": 31, "kCGWindowLayer": 20, "kCGWindowOwnerPID": 612, "kCGWindowOwnerName": "Dock",
     "kCGWindowName": "Dock", "kCGWindowBounds": {"X": 760, "Y": 1010, "Width": 400, "Height": 70},
     "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1},
    {"kCGWindowNumber": 4113, "kCGWindowLayer": 0, "kCGWindowOwnerPID": 4821, "kCGWindowOwnerName": "WeChat",
     "kCGWindowName": "", "kCGWindowBounds": {"X": 490, "Y": 350, "Width": 420, "Height": 200},
     "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1},
    {"kCGWindowNumber": 4107, "kCGWindowLayer": 0, "kCGWindowOwnerPID": 4821, "kCGWindowOwnerName": "WeChat",
     "kCGWindowName": "WeChat", "kCGWindowBounds": {"X": 200, "Y": 100, "Width": 1000, "Height": 700},
     "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1}
  ],
  "hitTest": [
    {"rect": [0, 0, 1920, 25], "pid": 4821}
  ],
  "pixels": {
    "4107": {"fill": "#f5f5f5", "rects": [
      {"x": 0, "y": 0, "width": 60, "height": 700, "fill": "#2e2e2e"},
      {"x": 60, "y": 0, "width": 250, "height": 700, "fill": "#e9e9e9"},
      {"x": 310, "y": 0, "width": 690, "height": 56, "fill": "#e6e6e6"},
      {"x": 310, "y": 56, "width": 690, "height": 1, "fill": "#d6d6d6"},
      {"x": 310, "y": 580, "width": 690, "height": 120, "fill": "#ffffff"}
    ]},
    "4113": {"fill": "#ffffff", "rects": [
      {"x": 200, "y": 140, "width": 100, "height": 32, "fill": "#f0f0f0"},
      {"x": 310, "y": 140, "width": 90, "height": 32, "fill": "#07c160"}
    ]}
  }
})json";
}

}  // namespace quillgate::sim
