## Korvane: шаблон списка простым текстом, music лист. Блоки и метки - как в mp3list.bbcode.tpl.
{{#header}}
{{title}} — альбомов: {{count}}, {{date}}

{{/header}}
{{#category}}

== {{category}} ==
{{/category}}
{{#row}}
{{folder}}{{sep}}{{size}} mb{{sep}}{{bitrate}} kbps{{sep}}{{style}}{{sep}}{{country}}{{totals}}
{{/row}}
