#!/bin/bash
# Draws the illustrative picture demo-pack/插件位置.jpg: a mock of FCPX's browser sidebars: where the installed templates show up.
# Usage: location-picture.sh [OUT] [zh|en]; "en" draws the English window's 插件位置.en.jpg.
F="$(fc-match -f "%{file}" "WenQuanYi Micro Hei")"
lang="${2:-zh}"
if [[ $lang == en ]]; then
  out="${1:-demo-pack/插件位置.en.jpg}"
else
  out="${1:-demo-pack/插件位置.jpg}"
fi
draw=()

# say CHINESE ENGLISH: the text in the picture's language.
say() {
  if [[ $lang == en ]]; then echo "$2"; else echo "$1"; fi
}

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

pane 16 270 "$(say '边栏：字幕和发生器 (Option+Cmd+1)' 'Titles and Generators (Opt-Cmd-1)')"
group 16 270 84 "$(say '字幕 Titles' 'Titles')" 'Orvo 标题 Basic' 'Lower Third' "$(say '制作人员字幕 ...' 'Credits ...')"
group 16 270 186 "$(say '发生器 Generators' 'Generators')" 'Orvo Gradient 背景' "$(say '背景 ...' 'Backgrounds ...')"
highlight 16 270 262 "$(say '字幕和发生器出现在这里' 'Titles and generators appear here')"
pane 290 530 "$(say '效果浏览器 (Cmd+5)' 'Effects Browser (Cmd-5)')"
group 290 530 84 "$(say '视频效果 Effects' 'Video Effects')" 'Orvo 光效 Glow' "$(say '模糊 ...' 'Blur ...')" "$(say '风格化 ...' 'Stylize ...')"
highlight 290 530 182 "$(say '效果出现在这里' 'Effects appear here')"
pane 554 784 "$(say '转场浏览器 (Ctrl+Cmd+5)' 'Transitions Browser (Ctrl-Cmd-5)')"
group 554 784 84 "$(say '转场 Transitions' 'Transitions')" 'Orvo 推移 Push' "$(say '溶解 ...' 'Dissolves ...')" "$(say '擦除 ...' 'Wipes ...')"
highlight 554 784 182 "$(say '转场出现在这里' 'Transitions appear here')"

convert -size 800x460 xc:'#1e1e1e' -font "$F" \
  -fill '#2b2b2b' -draw "rectangle 0 0 800 34" \
  -fill '#d0d0d0' -pointsize 15 -draw "text 16 23 '$(say 'Final Cut Pro — 插件在哪里' 'Final Cut Pro — where the plug-ins appear')'" \
  "${draw[@]}" \
  -fill "#7a7a7a" -pointsize 11 -draw "text 302 420 '$(say '示意图，仅供参考' 'Illustration only')'" \
  -quality 88 "$out"
