#!/bin/bash
# Draws the illustrative picture demo-pack/插件位置.jpg: a mock of FCPX's browser sidebars: where the installed templates show up.
F="$(fc-match -f "%{file}" "WenQuanYi Micro Hei")"
out="${1:-demo-pack/插件位置.jpg}"
convert -size 800x460 xc:'#1e1e1e' -font "$F" \
  -fill '#2b2b2b' -draw "rectangle 0 0 800 34" \
  -fill '#d0d0d0' -pointsize 15 -draw "text 16 23 'Final Cut Pro — 插件在哪里'" \
  \
  -fill '#262626' -draw "rectangle 16 50 270 444" \
  -fill '#9a9a9a' -pointsize 12 -draw "text 28 72 '边栏：字幕和发生器 (Option+Cmd+1)'" \
  -fill '#3a3a3a' -draw "roundrectangle 24 84 262 108 4 4" \
  -fill '#e8e8e8' -pointsize 13 -draw "text 34 101 '    字幕 Titles'" \
  -fill '#c8c8c8' -draw "text 58 128 'Orvo 标题 Basic'" \
  -fill '#c8c8c8' -draw "text 58 150 'Lower Third'" \
  -fill '#8a8a8a' -draw "text 58 172 '制作人员字幕 ...'" \
  -fill '#3a3a3a' -draw "roundrectangle 24 186 262 210 4 4" \
  -fill '#e8e8e8' -draw "text 34 203 '    发生器 Generators'" \
  -fill '#c8c8c8' -draw "text 58 230 'Orvo Gradient 背景'" \
  -fill '#8a8a8a' -draw "text 58 252 '背景 ...'" \
  -fill none -stroke '#ffb000' -strokewidth 2 -draw "roundrectangle 20 80 266 262 6 6" -stroke none \
  -fill '#ffb000' -pointsize 13 -draw "text 28 290 '字幕和发生器出现在这里'" \
  \
  -fill '#262626' -draw "rectangle 290 50 530 444" \
  -fill '#9a9a9a' -pointsize 12 -draw "text 302 72 '效果浏览器 (Cmd+5)'" \
  -fill '#3a3a3a' -draw "roundrectangle 298 84 522 108 4 4" \
  -fill '#e8e8e8' -pointsize 13 -draw "text 308 101 '    视频效果 Effects'" \
  -fill '#c8c8c8' -draw "text 332 128 'Orvo 光效 Glow'" \
  -fill '#8a8a8a' -draw "text 332 150 '模糊 ...'" \
  -fill '#8a8a8a' -draw "text 332 172 '风格化 ...'" \
  -fill none -stroke '#ffb000' -strokewidth 2 -draw "roundrectangle 294 80 526 182 6 6" -stroke none \
  -fill '#ffb000' -pointsize 13 -draw "text 302 210 '效果出现在这里'" \
  \
  -fill '#262626' -draw "rectangle 554 50 784 444" \
  -fill '#9a9a9a' -pointsize 12 -draw "text 566 72 '转场浏览器 (Ctrl+Cmd+5)'" \
  -fill '#3a3a3a' -draw "roundrectangle 562 84 776 108 4 4" \
  -fill '#e8e8e8' -pointsize 13 -draw "text 572 101 '    转场 Transitions'" \
  -fill '#c8c8c8' -draw "text 596 128 'Orvo 推移 Push'" \
  -fill '#8a8a8a' -draw "text 596 150 '溶解 ...'" \
  -fill '#8a8a8a' -draw "text 596 172 '擦除 ...'" \
  -fill none -stroke '#ffb000' -strokewidth 2 -draw "roundrectangle 558 80 780 182 6 6" -stroke none \
  -fill '#ffb000' -pointsize 13 -draw "text 566 210 '转场出现在这里'" \
  \
  -fill "#bdbdbd" -draw "polygon 34 92 44 92 39 99" -draw "polygon 34 194 44 194 39 201" -draw "polygon 308 92 318 92 313 99" -draw "polygon 572 92 582 92 577 99" \
  -fill "#7a7a7a" -pointsize 11 -draw "text 302 420 '示意图，仅供参考'" \
  -quality 88 "$out"
