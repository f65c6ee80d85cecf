#!/bin/bash
# Draws the illustrative picture demo-pack/插件位置.jpg: a mock of FCPX's browser sidebars: where the installed templates show up.
F="$(fc-match -f "%{file}" "WenQuanYi Micro Hei")"
out="${1:-demo-pack/插件位置.jpg}"
draw=()

# pane LEFT RIGHT CAPTION: a dark column with its caption.
pane() {
  draw+=(-fill '#262626' -draw "rectangle $1 50 $2 444"
    -fill '#9a9a9a' -pointsize 12 -draw "text $(($1 + 12)) 72 '$3'")
}
# group LEFT RIGHT TOP TITLE ITEM...: a disclosed group; items named "... " are greyed.
group() {
  local left=$1 right=$2 top=$3 title=$4 y=$(($3 + 44))
  shift 4
  draw+=(-fill '#3a3a3a' -draw "roundrectangle $((left + 8)) $top $((right - 8)) $((top + 24)) 4 4"
    -fill '#e8e8e8' -pointsize 13 -draw "text $((left + 18)) $((top + 17)) '    $title'"
    -fill '#bdbdbd' -draw "polygon $((left + 18)) $((top + 8)) $((left + 28)) $((top + 8)) $((left + 23)) $((top + 15))")
  for item in "$@"; do
    local colour='#c8c8c8'
    [[ $item == *...* ]] && colour='#8a8a8a'
    draw+=(-fill "$colour" -draw "text $((left + 42)) $y '$item'")
    y=$((y + 22))
  done
}
# highlight LEFT RIGHT BOTTOM NOTE: the frame around where templates appear, and its note.
highlight() {
  draw+=(-fill none -stroke '#ffb000' -strokewidth 2
    -draw "roundrectangle $(($1 + 4)) 80 $(($2 - 4)) $3 6 6" -stroke none
    -fill '#ffb000' -pointsize 13 -draw "text $(($1 + 12)) $(($3 + 28)) '$4'")
}

pane 16 270 '边栏：字幕和发生器 (Option+Cmd+1)'
group 16 270 84 '字幕 Titles' 'Orvo 标题 Basic' 'Lower Third' '制作人员字幕 ...'
group 16 270 186 '发生器 Generators' 'Orvo Gradient 背景' '背景 ...'
highlight 16 270 262 '字幕和发生器出现在这里'
pane 290 530 '效果浏览器 (Cmd+5)'
group 290 530 84 '视频效果 Effects' 'Orvo 光效 Glow' '模糊 ...' '风格化 ...'
highlight 290 530 182 '效果出现在这里'
pane 554 784 '转场浏览器 (Ctrl+Cmd+5)'
group 554 784 84 '转场 Transitions' 'Orvo 推移 Push' '溶解 ...' '擦除 ...'
highlight 554 784 182 '转场出现在这里'

convert -size 800x460 xc:'#1e1e1e' -font "$F" \
  -fill '#2b2b2b' -draw "rectangle 0 0 800 34" \
  -fill '#d0d0d0' -pointsize 15 -draw "text 16 23 'Final Cut Pro — 插件在哪里'" \
  "${draw[@]}" \
  -fill "#7a7a7a" -pointsize 11 -draw "text 302 420 '示意图，仅供参考'" \
  -quality 88 "$out"
