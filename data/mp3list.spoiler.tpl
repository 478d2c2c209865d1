## Korvane: шаблон сообщения для форума (BBCode), music лист, каждая категория под спойлером;
## без категорий - каждая первая буква группы. Блоки и метки - как в mp3list.bbcode.tpl.
{{#header}}
[b]{{title}} — альбомов: {{count}}[/b]

{{/header}}
{{#category}}
[spoiler="{{category}} ({{count}})"]
{{/category}}
{{#categoryend}}
[/spoiler]
{{/categoryend}}
{{#letter}}
[spoiler="{{letter}} ({{count}})"]
{{/letter}}
{{#letterend}}
[/spoiler]
{{/letterend}}
{{#row}}
{{folder}}{{sep}}{{size}} mb{{sep}}{{bitrate}} kbps{{sep}}{{style}}{{sep}}{{country}}{{totals}}
{{/row}}
